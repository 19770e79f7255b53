#pragma once

namespace Bellwright {

// The plug-in's name: its logger's, and the sender of its chat lines wherever none is
// configured.
inline constexpr const char* kPluginName = "Bellwright";

}  // namespace Bellwright
