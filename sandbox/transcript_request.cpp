#include "transcript_request.hpp"

namespace Sandbox {

std::optional<TranscriptFormat> ParseTranscriptFormat(std::string_view name) {
  if (name == "jsonl") {
    return TranscriptFormat::kJsonl;
  }
  if (name == "human") {
    return TranscriptFormat::kHuman;
  }
  return std::nullopt;
}

TranscriptRequest ParseTranscriptRequest(const std::vector<std::vector<std::string>>& options) {
  TranscriptRequest request;
  for (const std::vector<std::string>& words : options) {
    const std::string form = words.empty() ? std::string() : words[0];
    if (form == "html") {
      if (words.size() != 2 || words[1].empty()) {
        request.error = "html needs the page's file: --transcript html FILE";
      } else if (!request.html_file.empty()) {
        request.error = "only one html page can be written";
      } else {
        request.html_file = words[1];
      }
    } else if (const auto format = ParseTranscriptFormat(form)) {
      if (words.size() != 1) {
        request.error = form + " goes to the standard output and takes no file";
      } else if (request.output && *request.output != *format) {
        request.error = "the standard output takes one form: human or jsonl";
      } else {
        request.output = format;
      }
    } else {
      request.error = "unknown form \"" + form + "\"; the forms are human, jsonl and html FILE";
    }
    if (!request.error.empty()) {
      return request;
    }
  }
  return request;
}

}  // namespace Sandbox
