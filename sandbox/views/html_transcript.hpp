#pragma once

#include <filesystem>
#include <string>

#include "host_library/events.hpp"
#include "views/audience.hpp"
#include "views/html_page.hpp"
#include "views/readable_view.hpp"

namespace Sandbox {

// The HTML page as a transcript: every event goes onto the page, and Flush writes
// the page to its file when it changed.
class HtmlTranscript final : public EventSink {
 public:
  HtmlTranscript(std::filesystem::path path, HtmlPageOptions page_options, ReadableOptions options,
                 const AudienceContext& context, TimeLabel time_label);

  void Write(const Event& event) override;
  // Writes the page if anything changed since the last write (or nothing was written
  // yet). Returns the reason it failed, or empty.
  std::string Flush();

  [[nodiscard]] const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
  HtmlPage page_;
  ReadableOptions options_;
  const AudienceContext& context_;
  TimeLabel time_label_;
  bool changed_ = true;
};

}  // namespace Sandbox
