#pragma once

#include <string>
#include <vector>

namespace Bellwright {

// bw.status: one line per item, from every owner of state, in the order of start-up.
std::vector<std::string> StatusLines();

}  // namespace Bellwright
