#include <fmt/format.h>

#include <optional>
#include <string>
#include <vector>

#include "base/blank_text.hpp"
#include "base/placeholders.hpp"
#include "base/text.hpp"
#include "config/config.hpp"
#include "countdown/countdown.hpp"
#include "delivery/delivery.hpp"
#include "delivery/message_look.hpp"

namespace Bellwright {
namespace {

// One announcement of a countdown and when it goes out.
struct CountdownText {
  std::string when;
  std::string text;
  std::optional<int> minutes;  // none: the text takes no {Minutes}
};

// {Minutes} filled as the countdown fills it; the players' fields are left.
FString WithMinutes(const CountdownText& text) {
  FString configured = FromUtf8(text.text);
  if (!text.minutes) {
    return configured;
  }
  const std::u16string minutes = DecimalText(*text.minutes);
  const std::u16string_view values[] = {minutes};
  const std::u16string_view names[] = {u"Minutes"};
  return PlaceholderText(configured, names).Fill(values);
}

enum class StepsShown { kFirst, kEvery };

std::string StepWhen(int minutes) {
  return fmt::format("at {} {} left", minutes, minutes == 1 ? "minute" : "minutes");
}

// The announcement at the first step (as bw.countdown with that many minutes gives it
// at once) or at every step, then the final message and the cancel message, those that
// are set.
std::vector<CountdownText> ConfiguredTexts(const CountdownSettings& settings, StepsShown shown) {
  std::vector<CountdownText> texts;
  if (!IsBlankText(settings.text)) {
    if (settings.steps.empty()) {
      texts.push_back({StepWhen(1), settings.text, 1});
    } else if (shown == StepsShown::kFirst) {
      texts.push_back({StepWhen(settings.steps.front()), settings.text, settings.steps.front()});
    } else {
      for (const int minutes : settings.steps) {
        texts.push_back({StepWhen(minutes), settings.text, minutes});
      }
    }
  }
  if (!IsBlankText(settings.final_text)) {
    texts.push_back({"at 0", settings.final_text, 0});
  }
  if (!IsBlankText(settings.cancel_text)) {
    texts.push_back({"when cancelled", settings.cancel_text, std::nullopt});
  }
  return texts;
}

std::string StepsText(const std::vector<int>& steps) {
  return steps.empty() ? std::string("no steps")
                       : fmt::format("steps at {} minutes left", fmt::join(steps, ", "));
}

CommandOutcome PreviewTexts(StepsShown shown, AShooterPlayerController* viewer) {
  const CountdownSettings& settings = LiveSettings().countdown;
  const CountdownLook& configured = settings.look;
  const MessageLook look =
      LookOf(MessageKindFromTypeName(configured.type), configured, configured.sender);
  const std::vector<CountdownText> texts = ConfiguredTexts(settings, shown);
  if (viewer == nullptr || !look.kind) {
    std::vector<std::string> lines{
        fmt::format("countdown: {}, {}", DescribeLook(look), StepsText(settings.steps))};
    for (const CountdownText& text : texts) {
      lines.push_back(fmt::format("{}: {}", text.when, ToUtf8(WithMinutes(text))));
    }
    return {look.kind.has_value(), std::move(lines)};
  }
  const MessageStyle style = StyleOf(*look.kind, look);
  for (const CountdownText& text : texts) {
    const FString with_minutes = WithMinutes(text);
    PlayerText player_text(with_minutes, *look.kind);
    Deliver(*look.kind, player_text.For(viewer), style, Recipient::Player(viewer));
  }
  return CommandOutcome::Success(fmt::format("Preview of countdown ({} {}) sent to you",
                                             texts.size(), texts.size() == 1 ? "text" : "texts"));
}

}  // namespace

CommandOutcome PreviewCountdown(std::optional<int> entry, AShooterPlayerController* viewer) {
  if (entry) {
    return CommandOutcome::Failure("countdown shows every text at once: give no N");
  }
  return PreviewTexts(StepsShown::kFirst, viewer);
}

CommandOutcome PreviewEveryCountdownText(AShooterPlayerController* viewer) {
  return PreviewTexts(StepsShown::kEvery, viewer);
}

}  // namespace Bellwright
