#include "commands/steering_arguments.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>

#include "base/ascii_case.hpp"
#include "base/text.hpp"

namespace Bellwright {
namespace {

constexpr const char* kCountdownUsage =
    "Usage: bw.countdown MINUTES [\"TEXT\"] [cluster] or bw.countdown cancel [cluster]";

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
  return EqualIgnoringAsciiCase(word, "cancel");
}

// Token 1, or the text in double quotes when token 1 opens them: a list or schedule
// may have a name with blanks ("Daily restart").
struct NameOnLine {
  std::string name;
  bool quoted = false;
};
NameOnLine NameArgument(const CommandLine& line) {
  std::string first = ToUtf8(line.Token(1));
  if (first.starts_with('"') && !line.Message().IsEmpty()) {
    return {ToUtf8(line.Message()), true};
  }
  return {std::move(first), false};
}

// After a quoted name, N is the last token unless that token closes the quotes.
std::optional<std::string> EntryArgument(const CommandLine& line, const NameOnLine& name) {
  if (name.quoted) {
    const std::string last = ToUtf8(line.TokenFromEnd(1));
    if (last.ends_with('"')) {
      return std::nullopt;
    }
    return last;
  }
  if (line.TokenCount() >= 3) {
    return ToUtf8(line.Token(2));
  }
  return std::nullopt;
}

template <typename Request>
ParsedArguments<Request> Refused(std::string error) {
  return {std::nullopt, std::move(error)};
}

}  // namespace

ParsedArguments<std::string> ParseAnnouncementName(const CommandLine& line,
                                                   std::string_view command) {
  if (line.TokenCount() < 2) {
    return Refused<std::string>(
        fmt::format("Usage: {} {}", command, command == "bw.skip" ? "NAME" : "NAME|all"));
  }
  return {NameArgument(line).name, {}};
}

ParsedArguments<PauseRequest> ParsePause(const CommandLine& line) {
  if (line.TokenCount() < 2) {
    return Refused<PauseRequest>("Usage: bw.pause NAME|all [MINUTES]");
  }
  const NameOnLine name = NameArgument(line);
  PauseRequest request{name.name, std::nullopt};
  if (const std::optional<std::string> minutes = EntryArgument(line, name)) {
    request.minutes = WholeNumberIn(*minutes, 1, kLongestPauseMinutes);
    if (!request.minutes) {
      return Refused<PauseRequest>(
          fmt::format("MINUTES must be a whole number from 1 to {}, not \"{}\"",
                      kLongestPauseMinutes, *minutes));
    }
  }
  return {std::move(request), {}};
}

ParsedArguments<int> ParseNext(const CommandLine& line) {
  if (line.TokenCount() < 2) {
    return {kDefaultNextHours, {}};
  }
  const std::string hours = ToUtf8(line.Token(1));
  if (const auto whole = WholeNumberIn(hours, 1, kLongestNextHours);
      whole && line.TokenCount() == 2) {
    return {*whole, {}};
  }
  return Refused<int>(
      fmt::format("Usage: bw.next [HOURS], HOURS a whole number from 1 to {}", kLongestNextHours));
}

ParsedArguments<PreviewRequest> ParsePreview(const CommandLine& line) {
  if (line.TokenCount() < 2) {
    return Refused<PreviewRequest>("Usage: bw.preview NAME [N]");
  }
  const NameOnLine name = NameArgument(line);
  PreviewRequest request{name.name, std::nullopt};
  if (const std::optional<std::string> entry = EntryArgument(line, name)) {
    request.entry = WholeNumberIn(*entry, 1, std::numeric_limits<int>::max());
    if (!request.entry) {
      return Refused<PreviewRequest>(
          fmt::format("N must be a whole number from 1, not \"{}\"", *entry));
    }
  }
  return {std::move(request), {}};
}

ParsedArguments<CountdownRequest> ParseCountdown(const CommandLine& line) {
  if (line.TokenCount() < 2) {
    return Refused<CountdownRequest>(kCountdownUsage);
  }
  // The word stands last, after the text; inside the quotes it would be part of it.
  const bool cluster = line.TokenCount() > 2 && IsClusterTarget(line.TokenFromEnd(1));
  const int words = line.TokenCount() - (cluster ? 1 : 0);
  const std::string first = ToUtf8(line.Token(1));
  if (IsCancel(first)) {
    return {
        CountdownRequest{.cancel = true, .minutes = 0, .text = std::nullopt, .cluster = cluster},
        {}};
  }
  const std::optional<int> minutes = WholeNumberIn(first, 1, kLongestCountdownMinutes);
  if (!minutes) {
    return Refused<CountdownRequest>(
        fmt::format("MINUTES must be a whole number from 1 to {}, not \"{}\"",
                    kLongestCountdownMinutes, first));
  }
  CountdownRequest request{
      .cancel = false, .minutes = *minutes, .text = std::nullopt, .cluster = cluster};
  const FString text = line.Message();
  if (!text.IsEmpty()) {
    request.text = ToUtf8(text);
  } else if (words > 2) {
    // Words without quotes would be taken for nothing: better to say so than to run
    // the countdown with the configured text.
    return Refused<CountdownRequest>(
        fmt::format("put the text in double quotes: bw.countdown {} \"TEXT\"", *minutes));
  }
  return {std::move(request), {}};
}

}  // namespace Bellwright
