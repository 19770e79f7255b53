#include "views/html_transcript.hpp"

#include "atomic_file.hpp"

namespace Sandbox {

HtmlTranscript::HtmlTranscript(std::filesystem::path path, HtmlPageOptions page_options,
                               ReadableOptions options, const AudienceContext& context,
                               TimeLabel time_label)
    : path_(std::move(path)),
      page_(page_options),
      options_(options),
      context_(context),
      time_label_(time_label) {}

void HtmlTranscript::Write(const Event& event) {
  const EventAudience audience = ClassifyEvent(event, context_);
  if (!Shows(options_, audience.audience)) {
    return;
  }
  page_.Add(event, audience, time_label_(event));
  changed_ = true;
}

std::string HtmlTranscript::Flush() {
  if (!changed_) {
    return {};
  }
  std::string error = WriteFileAtomically(path_, page_.Render());
  if (error.empty()) {
    changed_ = false;
  }
  return error;
}

}  // namespace Sandbox
