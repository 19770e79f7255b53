#include "config/countdown_settings.hpp"

#include <cmath>

#include "config/settings.hpp"

namespace Bellwright {

CountdownSection::CountdownSection(const nlohmann::json& document)
    : countdown_(Settings::SectionOrEmpty(document, "Countdown")) {}

std::vector<int> CountdownSection::Steps() const {
  const auto steps = countdown_.find("Steps");
  if (steps == countdown_.end() || !steps->is_array()) {
    return {15, 10, 5, 3, 2, 1};
  }
  std::vector<int> minutes;
  for (const nlohmann::json& step : *steps) {
    if (!step.is_number()) {
      continue;
    }
    const double whole = std::trunc(step.get<double>());
    if (whole >= 1 && whole <= kLongestCountdownStep) {
      minutes.push_back(static_cast<int>(whole));
    }
  }
  return minutes;
}

std::string CountdownSection::Text() const {
  return Settings::ValueOr<std::string>(countdown_, "MessageToSend", kDefaultCountdownText);
}

std::string CountdownSection::FinalText() const {
  return Settings::ValueOr<std::string>(countdown_, "FinalMessage", "");
}

CountdownLook CountdownSection::Look() const {
  CountdownLook look;
  look.type = Settings::ValueOr(countdown_, "MessageType", look.type);
  const auto colour = countdown_.find("MessageColour");
  if (colour != countdown_.end() && colour->is_object()) {
    look.colour = Settings::ColorFromObjectOr(*colour);
  }
  look.sender = Settings::ValueOr(countdown_, "Sender", look.sender);
  look.display_scale = Settings::ValueOr(countdown_, "DisplayScale", look.display_scale);
  look.display_time = Settings::ValueOr(countdown_, "DisplayTime", look.display_time);
  look.icon = Settings::ValueOr(countdown_, "Icon_BP", look.icon);
  return look;
}

}  // namespace Bellwright
