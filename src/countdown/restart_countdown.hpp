#pragma once

#include <string>

// The restart countdown's clock; starting and cancelling it are in automatic.hpp.
namespace Bellwright {

// On every timer tick: the announcement whose time has come.
void SendCountdownIfDue();

// "countdown: none", or the minutes left and the next mark.
std::string CountdownStatusLine();

}  // namespace Bellwright
