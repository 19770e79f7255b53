#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Sandbox {

enum class TranscriptFormat { kJsonl, kHuman };

// "jsonl" or "human"; nothing for any other name.
std::optional<TranscriptFormat> ParseTranscriptFormat(std::string_view name);

// What the `--transcript FORM [FILE]` options ask for: the form of the standard
// output (human or jsonl, each without a file) and the file of an HTML page (html
// FILE). `error` says what makes no sense, empty when all is well.
struct TranscriptRequest {
  std::optional<TranscriptFormat> output;
  std::string html_file;
  std::string error;
};
TranscriptRequest ParseTranscriptRequest(const std::vector<std::vector<std::string>>& options);

}  // namespace Sandbox
