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

// The announcement at the first step (as bw.countdown with that many minutes gives it
// at once), the final message and the cancel message, those that are set.
std::vector<CountdownText> ConfiguredTexts(const CountdownSettings& settings) {
  std::vector<CountdownText> texts;
  const int first = settings.steps.empty() ? 1 : settings.steps.front();
  if (!IsBlankText(settings.text)) {
    texts.push_back({fmt::format("at {} {} left", first, first == 1 ? "minute" : "minutes"),
                     settings.text, first});
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

}  // namespace

CommandOutcome PreviewCountdown(std::optional<int> entry, AShooterPlayerController* viewer) {
  if (entry) {
    return CommandOutcome::Failure("countdown shows every text at once: give no N");
  }
  const CountdownSettings& settings = LiveSettings().countdown;
  const CountdownLook& configured = settings.look;
  const MessageLook look =
      LookOf(MessageKindFromTypeName(configured.type), configured, configured.sender);
  const std::vector<CountdownText> texts = ConfiguredTexts(settings);
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

}  // namespace Bellwright
