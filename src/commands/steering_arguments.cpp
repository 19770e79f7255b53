#include "commands/steering_arguments.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>

#include "base/text.hpp"

namespace Bellwright {
namespace {

constexpr const char* kCountdownUsage =
    "Usage: bw.countdown MINUTES [\"TEXT\"] or bw.countdown cancel";

// Digits only, no sign and no fraction, within [lowest, highest].
std::optional<int> WholeNumberIn(const std::string& text, int lowest, int highest) {
  if (text.empty() || !std::ranges::all_of(text, [](char unit) {
        return std::isdigit(static_cast<unsigned char>(unit)) != 0;
      })) {
    return std::nullopt;
  }
  int number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size() || number < lowest ||
      number > highest) {
    return std::nullopt;
  }
  return number;
}

bool IsCancel(const std::string& word) {
  return std::ranges::equal(word, std::string_view("cancel"), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == b;
  });
}

template <typename Request>
ParsedArguments<Request> Refused(std::string error) {
  return {std::nullopt, std::move(error)};
}

}  // namespace

ParsedArguments<std::string> ParseAnnouncementName(const CommandLine& line,
                                                   std::string_view command) {
  if (line.TokenCount() < 2) {
    return Refused<std::string>(fmt::format("Usage: {} NAME|all", command));
  }
  return {ToUtf8(line.Token(1)), {}};
}

ParsedArguments<PreviewRequest> ParsePreview(const CommandLine& line) {
  if (line.TokenCount() < 2) {
    return Refused<PreviewRequest>("Usage: bw.preview NAME [N]");
  }
  PreviewRequest request{ToUtf8(line.Token(1)), std::nullopt};
  if (line.TokenCount() >= 3) {
    const std::string entry = ToUtf8(line.Token(2));
    request.entry = WholeNumberIn(entry, 1, std::numeric_limits<int>::max());
    if (!request.entry) {
      return Refused<PreviewRequest>(
          fmt::format("N must be a whole number from 1, not \"{}\"", entry));
    }
  }
  return {std::move(request), {}};
}

ParsedArguments<CountdownRequest> ParseCountdown(const CommandLine& line) {
  if (line.TokenCount() < 2) {
    return Refused<CountdownRequest>(kCountdownUsage);
  }
  const std::string first = ToUtf8(line.Token(1));
  if (IsCancel(first)) {
    return {CountdownRequest{.cancel = true, .minutes = 0, .text = std::nullopt}, {}};
  }
  const std::optional<int> minutes = WholeNumberIn(first, 1, kLongestCountdownMinutes);
  if (!minutes) {
    return Refused<CountdownRequest>(
        fmt::format("MINUTES must be a whole number from 1 to {}, not \"{}\"",
                    kLongestCountdownMinutes, first));
  }
  CountdownRequest request{.cancel = false, .minutes = *minutes, .text = std::nullopt};
  const FString text = line.Message();
  if (!text.IsEmpty()) {
    request.text = ToUtf8(text);
  } else if (line.TokenCount() > 2) {
    // Words without quotes would be taken for nothing: better to say so than to run
    // the countdown with the configured text.
    return Refused<CountdownRequest>(
        fmt::format("put the text in double quotes: bw.countdown {} \"TEXT\"", *minutes));
  }
  return {std::move(request), {}};
}

}  // namespace Bellwright
