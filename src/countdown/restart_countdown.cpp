#include <fmt/format.h>
#include <fmt/ranges.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "base/blank_text.hpp"
#include "base/clock_ticks.hpp"
#include "base/placeholders.hpp"
#include "base/text.hpp"
#include "config/config.hpp"
#include "countdown/countdown.hpp"
#include "countdown/countdown_plan.hpp"
#include "delivery/delivery.hpp"
#include "delivery/message_look.hpp"
#include "delivery/world_players.hpp"
#include "host/tools.hpp"

namespace Bellwright {
namespace {

constexpr std::array<std::u16string_view, 1> kMinutesName{u"Minutes"};

struct RunningCountdown {
  int minutes = 0;
  std::int64_t start_ticks = 0;  // on the steady clock: a countdown keeps its pace
  std::vector<int> marks;        // minutes left, from `minutes` down to 0
  std::size_t next = 0;          // the first mark not announced yet
  std::optional<std::string> text;
};

// Constant-initialised: the library's start-up runs before dynamic initialisation.
constinit std::optional<RunningCountdown> Running;

std::int64_t ElapsedSeconds(const RunningCountdown& countdown) {
  return (AsaApi::Tools::GetSteadyClockTicks() - countdown.start_ticks) / kClockTicksPerSecond;
}

std::int64_t SecondsLeft(const RunningCountdown& countdown) {
  return std::max<std::int64_t>(0, SecondsToMark(countdown.minutes, 0) - ElapsedSeconds(countdown));
}

// {Minutes} first; the player fields are left for PlayerText.
FString WithMinutes(const std::string& text, int minutes_left) {
  const FString configured = FromUtf8(text);
  const std::u16string minutes = DecimalText(minutes_left);
  const std::array<std::u16string_view, 1> values{minutes};
  return PlaceholderText(configured, kMinutesName).Fill(values);
}

// Everyone, each player reading their own name where the text names it.
void Announce(MessageKind kind, const FString& text, const MessageStyle& style) {
  PlayerText player_text(text, kind);
  if (!player_text.NamesPlayer()) {
    Deliver(kind, player_text.For(nullptr), style, Recipient::Everyone());
    return;
  }
  ForEachConnectedPlayer(GameWorld(), [&](AShooterPlayerController* player) {
    Deliver(kind, player_text.For(player), style, Recipient::Player(player));
  });
}

// In the countdown's configured look; a blank text sends nothing.
void AnnounceInLook(const std::string& text, const FString& filled) {
  const CountdownLook& configured = LiveSettings().countdown.look;
  const MessageLook look =
      LookOf(MessageKindFromTypeName(configured.type), configured, configured.sender);
  if (IsBlankText(text) || !look.kind) {
    return;
  }
  Announce(*look.kind, filled, StyleOf(*look.kind, look));
}

// The last mark, 0, says the final message, when one is configured.
void AnnounceMark(const RunningCountdown& countdown, int minutes_left) {
  const CountdownSettings& settings = LiveSettings().countdown;
  const std::string& text =
      minutes_left == 0 ? settings.final_text : countdown.text.value_or(settings.text);
  AnnounceInLook(text, WithMinutes(text, minutes_left));
}

// The host formats every text once; a text it refuses would never be seen.
bool CanBeShown(const std::string& text) {
  const FString with_minutes = WithMinutes(text, 1);
  PlaceholderText fields(with_minutes, kPlayerPlaceholderNames);
  const std::array<std::u16string_view, 3> samples{u"Ann", u"1", u"Center"};
  try {
    (void)FString::Format(fields.Fill(samples));
    return true;
  } catch (...) {
    return false;
  }
}

std::string MarksText(const std::vector<int>& marks) {
  // The first mark is the announcement at once, the last the end.
  const std::vector<int> steps(marks.begin() + 1, marks.end() - 1);
  if (steps.empty()) {
    return "no further announcement";
  }
  if (steps.size() == 1) {
    return fmt::format("one more at {} {} left", steps.front(),
                       steps.front() == 1 ? "minute" : "minutes");
  }
  return fmt::format("announcements at {} minutes left", fmt::join(steps, ", "));
}

}  // namespace

void StartRestartCountdowns() {
  Running.reset();
}

void StopRestartCountdowns() {
  Running.reset();
}

CommandOutcome StartCountdown(int minutes, const std::optional<std::string>& text) {
  const CountdownSettings& settings = LiveSettings().countdown;
  const CountdownLook& look = settings.look;
  if (!MessageKindFromTypeName(look.type)) {
    return CommandOutcome::Failure(fmt::format(
        "Countdown not started: \"Countdown\" -> \"MessageType\" \"{}\" sends nothing; use "
        "Chat, Client, Server or Notification",
        look.type));
  }
  const std::string announced = text.value_or(settings.text);
  if (!CanBeShown(announced)) {
    return CommandOutcome::Failure(
        fmt::format("Countdown not started: \"{}\" cannot be shown: double a literal brace ({{{{ "
                    "or }}}}) and use only {{Minutes}}, {{PlayerName}} and {{PlayerCount}}",
                    announced));
  }
  std::string replaced;
  if (Running) {
    replaced = fmt::format(", replacing the one with {} s left", SecondsLeft(*Running));
  }
  Running = RunningCountdown{.minutes = minutes,
                             .start_ticks = AsaApi::Tools::GetSteadyClockTicks(),
                             .marks = CountdownMarks(minutes, settings.steps),
                             .next = 0,
                             .text = text};
  const std::string plan = MarksText(Running->marks);
  const bool final_message = !settings.final_text.empty();
  SendCountdownIfDue();
  return CommandOutcome::Success(fmt::format("Countdown of {} {} started{}: {}{}", minutes,
                                             minutes == 1 ? "minute" : "minutes", replaced, plan,
                                             final_message ? ", the final message at 0" : ""));
}

CommandOutcome CancelCountdown() {
  if (!Running) {
    return CommandOutcome::Failure("No countdown is running");
  }
  const std::int64_t left = SecondsLeft(*Running);
  Running.reset();
  // Players were told a restart is coming: they are told it is not.
  const std::string& cancel_text = LiveSettings().countdown.cancel_text;
  AnnounceInLook(cancel_text, FromUtf8(cancel_text));
  return CommandOutcome::Success(fmt::format("Countdown cancelled with {} s left", left));
}

void SendCountdownIfDue() {
  if (!Running) {
    return;
  }
  const std::optional<std::size_t> due =
      DueMark(Running->marks, Running->next, Running->minutes, ElapsedSeconds(*Running));
  if (!due) {
    return;
  }
  Running->next = *due + 1;
  const int minutes_left = Running->marks[*due];
  // Forgotten before the last announcement goes out, so nothing it does can keep it.
  if (minutes_left == 0) {
    const RunningCountdown ended = std::move(*Running);
    Running.reset();
    AnnounceMark(ended, 0);
    return;
  }
  AnnounceMark(*Running, minutes_left);
}

std::string CountdownStatusLine() {
  if (!Running) {
    return "countdown: none";
  }
  const RunningCountdown& countdown = *Running;
  const int next_mark = countdown.marks[countdown.next];
  const std::int64_t in_seconds = std::max<std::int64_t>(
      0, SecondsToMark(countdown.minutes, next_mark) - ElapsedSeconds(countdown));
  const std::string next =
      next_mark == 0
          ? fmt::format("it ends in {} s", in_seconds)
          : fmt::format("next announcement at {} minutes left, in {} s", next_mark, in_seconds);
  return fmt::format("countdown: {} minutes, {} s left; {}", countdown.minutes,
                     SecondsLeft(countdown), next);
}

}  // namespace Bellwright
