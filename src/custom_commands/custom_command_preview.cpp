#include <fmt/format.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "base/preview_tally.hpp"
#include "base/text.hpp"
#include "config/config.hpp"
#include "custom_commands/chat_command_handler.hpp"
#include "custom_commands/custom_commands.hpp"
#include "custom_commands/live_commands.hpp"
#include "delivery/message_look.hpp"

namespace Bellwright {
namespace {

bool NeedsGroup(const CustomCommand& command) {
  const TArray<FString>& groups = command.RequiredPermissionGroups;
  return !groups.IsEmpty() && !groups.Contains(FString("Default"));
}

MessageLook LookOfCommand(const CustomCommand& command) {
  MessageLook look;
  look.kind = MessageKindFromTypeName(command.Type);
  look.type_name = command.Type;
  look.colour = command.MessageColor;
  look.sender = ToUtf8(command.Sender);
  look.display_scale = command.DisplayScale;
  look.display_time = command.DisplayTime;
  look.icon = ToUtf8(command.Icon_BP);
  return look;
}

CommandOutcome PreviewAnswer(const FString& name, const CustomCommand& command,
                             AShooterPlayerController* viewer) {
  const MessageLook look = LookOfCommand(command);
  if (viewer != nullptr && AnswerCustomCommand(viewer, command)) {
    return CommandOutcome::Success({});
  }
  return {viewer == nullptr && look.kind.has_value(),
          {fmt::format("{}: {}", ToUtf8(name), DescribeLook(look)), ToUtf8(command.Message)}};
}

// The refusal lines a player may meet, each once: the one for a missing group when a
// command needs one, the cooldown's when a command has one (filled as at its first
// refusal, the whole cooldown still to run).
void PreviewRefusals(PreviewTally& tally, AShooterPlayerController* viewer) {
  const CustomCommandTable& table = LiveCommands().table;
  const auto grouped =
      std::ranges::find_if(table, [](const auto& entry) { return NeedsGroup(entry.second); });
  const auto cooled =
      std::ranges::find_if(table, [](const auto& entry) { return entry.second.CooldownTicks > 0; });
  const CustomCommandSettings& settings = LiveSettings().custom_commands;
  if (grouped != table.end()) {
    if (viewer != nullptr) {
      SendNoPermissionLine(viewer);
    }
    tally.Add({true, {fmt::format("refusal without a group: {}", settings.no_permission_line)}});
  }
  if (cooled != table.end()) {
    if (viewer != nullptr) {
      SendCooldownLine(viewer, cooled->first, cooled->second.CooldownTicks);
    }
    tally.Add({true, {fmt::format("refusal in a cooldown: {}", settings.cooldown_line)}});
  }
}

}  // namespace

CommandOutcome PreviewCustomCommands(AShooterPlayerController* viewer) {
  const CustomCommandTable& table = LiveCommands().table;
  PreviewTally tally("custom commands", viewer != nullptr);
  for (const auto& [name, command] : table) {
    tally.Add(PreviewAnswer(name, command, viewer));
  }
  PreviewRefusals(tally, viewer);
  return std::move(tally).Result();
}

}  // namespace Bellwright
