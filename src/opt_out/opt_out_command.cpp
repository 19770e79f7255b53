#include "opt_out/opt_out_command.hpp"

#include <fmt/format.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "base/placeholders.hpp"
#include "base/text.hpp"
#include "config/config.hpp"
#include "delivery/delivery.hpp"
#include "opt_out/player_opt_out.hpp"

namespace Bellwright {
namespace {

constexpr ByteColor kReplyColor = MakeByteColor(0, 255, 0);

void Answer(AShooterPlayerController* player, bool opted_out, const FString& command) {
  const ConfigSettings& settings = LiveSettings();
  const FString line = FromUtf8(opted_out ? settings.announcements.timed.opt_out_off_line
                                          : settings.announcements.timed.opt_out_on_line);
  static constexpr std::u16string_view kFieldNames[] = {u"Command"};
  const PlaceholderText text(line, kFieldNames);
  const std::array<std::u16string_view, 1> values{command.Wide()};
  MessageStyle style;
  style.color = kReplyColor;
  style.sender = FromUtf8(settings.general.chat_sender);
  Deliver(MessageKind::kChat, text.Fill(values), style, Recipient::Player(player));
}

}  // namespace

CommandOutcome PreviewOptOutAnswers(AShooterPlayerController* viewer) {
  const std::optional<FString> command = ConfiguredOptOutCommand();
  if (!command) {
    return {true, {}};
  }
  const TimedMessageSettings& timed = LiveSettings().announcements.timed;
  if (viewer == nullptr) {
    return {true,
            {fmt::format("{} (the opt-out command): turned off: {}", ToUtf8(*command),
                         timed.opt_out_off_line),
             fmt::format("turned on: {}", timed.opt_out_on_line)}};
  }
  Answer(viewer, true, *command);
  Answer(viewer, false, *command);
  return CommandOutcome::Success(
      fmt::format("Preview of {} sent to you (2 messages)", ToUtf8(*command)));
}

void HandleOptOutCommand(AShooterPlayerController* player, FString* message, bool /*unused*/,
                         int /*unused_number*/) {
  const std::optional<FString> command = ConfiguredOptOutCommand();
  if (player == nullptr || message == nullptr || !command) {
    return;
  }
  const bool opted_out = ToggleOptOut(player->GetUniqueNetIdAsString());
  Answer(player, opted_out, *command);
}

}  // namespace Bellwright
