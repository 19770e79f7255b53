#pragma once

#include <optional>
#include <string>

#include "host_library/clock.hpp"
#include "transcript_request.hpp"
#include "views/readable_view.hpp"

namespace Sandbox {

struct PreviewPageOptions {
  // The HTML page to write.
  std::string page;
  std::string plugin_path;
  // A transcript on the standard output too, when asked for.
  std::optional<TranscriptFormat> output;
  ReadableOptions readable;
  Clock::TimePoint start{std::chrono::seconds(Clock::kScriptEpochSeconds)};
};

// Loads the plug-in on the server directory's configuration, lets one player join and
// asks the plug-in, as an administrator at that player's console would, to show them
// every configured message once (bw.preview all); then writes the page. Returns 0; 1,
// with the plug-in's own words on the standard error, when it did not start on that
// configuration or failed meanwhile; 2 when the page cannot be written.
int RunPreviewPage(const PreviewPageOptions& options);

}  // namespace Sandbox
