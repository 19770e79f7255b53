#include "opt_out/player_opt_out.hpp"

#include <fmt/format.h>

#include <chrono>
#include <string>

#include "base/calendar_text.hpp"
#include "base/clock_ticks.hpp"
#include "base/unicode.hpp"
#include "delivery/world_players.hpp"
#include "host/tools.hpp"
#include "opt_out/opt_out_state.hpp"
#include "opt_out/opt_out_storage.hpp"

namespace Bellwright {
namespace OptOut {

State& TheState() {
  static State state;
  return state;
}

// Asked for every player of every timed message, so one buffer serves all (the game
// thread is the only caller).
std::string_view Key(const FString& unique_id) {
  static std::string buffer;
  Unicode::CaseFoldedUtf8(unique_id.Wide(), buffer);
  return buffer;
}

Storage::ChoiceMemory::Moment Now() {
  using HostTicks = std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>;
  return std::chrono::duration_cast<Storage::ChoiceMemory::Moment>(
      HostTicks(AsaApi::Tools::GetSteadyClockTicks()));
}

}  // namespace OptOut

namespace {

constexpr std::chrono::seconds kPatienceWithTheStorage{5};

// "working", or "failing since 2026-01-01 00:00:12 UTC (no answer within 5 s)".
std::string StorageHealthText(const OptOut::State& state) {
  if (!state.store->IsFailing()) {
    return "working";
  }
  std::string since;
  if (state.failing_since_ticks) {
    since = " since " + CalendarSecondTextUtc(CalendarSecond(*state.failing_since_ticks));
  }
  return fmt::format("failing{} ({})", since, state.store->LastFailureCause());
}

}  // namespace

bool OptOutActive() {
  const OptOut::State& state = OptOut::TheState();
  return state.settings && !state.settings->command.IsEmpty();
}

std::optional<FString> ConfiguredOptOutCommand() {
  if (!OptOutActive()) {
    return std::nullopt;
  }
  return OptOut::TheState().settings->command;
}

bool IsOptedOut(const FString& unique_id) {
  const OptOut::State& state = OptOut::TheState();
  return OptOutActive() &&
         state.memory.IsOptedOut(OptOut::Key(unique_id), OptOut::Now(), kPatienceWithTheStorage);
}

bool ToggleOptOut(const FString& unique_id) {
  OptOut::State& state = OptOut::TheState();
  const bool opted_out = state.memory.Toggle(OptOut::Key(unique_id));
  DriveOptOutStorage();
  return opted_out;
}

void AskOptOut(AShooterPlayerController* player) {
  OptOut::State& state = OptOut::TheState();
  if (player == nullptr || !OptOutActive()) {
    return;
  }
  state.memory.Ask(OptOut::Key(player->GetUniqueNetIdAsString()), OptOut::Now());
  DriveOptOutStorage();
}

void ForgetOptOut(AShooterPlayerController* player) {
  if (player != nullptr) {
    const std::string_view key = OptOut::Key(player->GetUniqueNetIdAsString());
    OptOut::TheState().memory.Forget(key);
    OptOut::TheState().greeted.Forget(key);
  }
}

std::string PlayersStatusLine() {
  const OptOut::State& state = OptOut::TheState();
  const bool choices_count = OptOutActive();
  int connected = 0;
  int opted_out = 0;
  int unknown = 0;
  ForEachConnectedPlayer(GameWorld(), [&](AShooterPlayerController* player) {
    ++connected;
    const std::string_view key = OptOut::Key(player->GetUniqueNetIdAsString());
    const std::optional<bool> choice =
        choices_count ? state.memory.KnownChoice(key) : std::optional<bool>(false);
    opted_out += choice.value_or(false) ? 1 : 0;
    unknown += !choice || state.greeted.AwaitsAnswer(key) ? 1 : 0;
  });
  std::string line = fmt::format("players: {} connected, {} of them opted out of timed messages",
                                 connected, opted_out);
  if (unknown > 0) {
    line += fmt::format(", {} not yet known", unknown);
  }
  return line;
}

std::string StorageStatusLine() {
  const OptOut::State& state = OptOut::TheState();
  if (!state.settings) {
    return "storage: none (no OptOutCommand or FirstJoinMessage)";
  }
  std::string waiting =
      fmt::format("{} choices waiting to be written", state.memory.Unwritten().size());
  if (state.settings->first_join) {
    waiting +=
        fmt::format(", {} greetings waiting to be recorded", state.greeted.UnrecordedCount());
  }
  if (!state.store) {
    return "storage: not open yet or in memory only, " + waiting;
  }
  return fmt::format("storage: {}, {}, {}", state.store->StorageName(), StorageHealthText(state),
                     waiting);
}

}  // namespace Bellwright
