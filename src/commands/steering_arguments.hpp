#pragma once

#include <optional>
#include <string>

#include "commands/command_line.hpp"

// The arguments of the commands that steer the announcements, read from the command
// line. Each reading gives the request or the red line that says what is wrong.
namespace Bellwright {

template <typename Request>
struct ParsedArguments {
  std::optional<Request> request;
  std::string error;  // set when there is no request
};

// bw.resume NAME|all, bw.skip NAME: token 1 as typed, or a name with blanks in double
// quotes.
ParsedArguments<std::string> ParseAnnouncementName(const CommandLine& line,
                                                   std::string_view command);

// bw.pause NAME|all [MINUTES]: MINUTES from 1 to a week ends the pause by itself.
inline constexpr int kLongestPauseMinutes = 7 * 24 * 60;
struct PauseRequest {
  std::string name;
  std::optional<int> minutes;
};
ParsedArguments<PauseRequest> ParsePause(const CommandLine& line);

// bw.next [HOURS]: from 1 to a week, 24 without.
inline constexpr int kDefaultNextHours = 24;
inline constexpr int kLongestNextHours = 7 * 24;
ParsedArguments<int> ParseNext(const CommandLine& line);

// bw.preview NAME [N]: N counts entries from 1; NAME as for bw.pause.
struct PreviewRequest {
  std::string name;
  std::optional<int> entry;
};
ParsedArguments<PreviewRequest> ParsePreview(const CommandLine& line);

// bw.countdown MINUTES ["TEXT"] [cluster] or bw.countdown cancel [cluster].
inline constexpr int kLongestCountdownMinutes = 1440;
struct CountdownRequest {
  bool cancel = false;
  int minutes = 0;
  std::optional<std::string> text;  // replaces the configured text for this countdown
  bool cluster = false;             // on every server of the cluster too
};
ParsedArguments<CountdownRequest> ParseCountdown(const CommandLine& line);

}  // namespace Bellwright
