#pragma once

#include <memory>

#include "host/messaging.hpp"

namespace Bellwright {

// The host's messaging object for this plug-in, obtained anew for each use: the host
// may replace it between calls, so nobody keeps it.
std::shared_ptr<MessagingManager> PluginMessaging();

}  // namespace Bellwright
