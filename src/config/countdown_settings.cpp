#include "config/countdown_settings.hpp"

#include <fmt/format.h>

#include <cmath>

#include "base/blank_text.hpp"
#include "config/colour_reader.hpp"
#include "config/message_members.hpp"
#include "config_checks/text_faults.hpp"

namespace Bellwright {
namespace {

// Steps of the wrong type are skipped; a number is truncated, and the whole minutes
// outside 1 to a day (bw.countdown takes no more minutes) are skipped too.
std::vector<int> ReadSteps(const SettingValue& steps, const std::vector<int>& fallback) {
  if (!steps.Present() ||
      !steps.Judge(JsonKind::kArray,
                   {kError,
                    "it is ignored, so the countdown announces at the default steps "
                    "$default"},
                   fallback)) {
    return fallback;
  }
  std::vector<int> minutes;
  for (const SettingValue& step : steps.Elements()) {
    if (!step.Judge(JsonKind::kWholeNumber, {kWarning, "this step is skipped", kNumbersOnly})) {
      continue;
    }
    const double whole = std::trunc(step.Json()->get<double>());
    if (whole >= 1 && whole <= kLongestCountdownStep) {
      minutes.push_back(static_cast<int>(whole));
      continue;
    }
    step.AtValue(kWarning, fmt::format("a step of {} minutes is skipped: a step is a whole number "
                                       "of minutes from 1 to 1440 (the countdown's last "
                                       "announcement, at 0, is \"FinalMessage\")",
                                       step.Json()->dump()));
  }
  return minutes;
}

CountdownLook ReadLook(const MessageMembers& members) {
  CountdownLook look;
  look.type = members.type.ChoiceOr(
      look.type, {kError, "it is ignored, so the countdown goes out as server messages"},
      {kMessageTypes, kError, "a message type", "the countdown's announcements are never sent"});
  look.colour = LenientColour(members.colour, look.colour,
                              {{kError, "it is ignored, so the countdown is red (255, 64, 64)"},
                               {kError, "it reads as 0 in the countdown's colour"}});
  look.sender = members.sender.ValueOr<std::string>(
      look.sender, {kError, "it is ignored, so the sender name $default is used"});
  const WrongType default_taken{
      kError, "it is ignored, so the countdown's notification takes the default $default"};
  look.display_scale = members.display_scale.ValueOr<float>(look.display_scale, default_taken);
  look.display_time = members.display_time.ValueOr<float>(look.display_time, default_taken);
  look.icon = members.icon.ValueOr<std::string>(
      "", {kError, "it is ignored, so the countdown's notification has no icon"});
  if (members.type.Present() && *members.type.Json() == "Notification") {
    JudgeVisible(members.display_time, members.display_scale, "the countdown");
  }
  return look;
}

}  // namespace

const ConfigCheck::TextRule& CountdownTextRule() {
  static const ConfigCheck::TextRule rule = ConfigCheck::FormattedOnce(
      "the countdown's announcement", "the countdown's announcements are never delivered",
      {"Minutes", "PlayerName", "PlayerCount", "ServerName"});
  return rule;
}

const ConfigCheck::TextRule& CountdownFinalTextRule() {
  static const ConfigCheck::TextRule rule = ConfigCheck::FormattedOnce(
      "the countdown's last announcement", "the countdown's last announcement is never delivered",
      {"Minutes", "PlayerName", "PlayerCount", "ServerName"});
  return rule;
}

const ConfigCheck::TextRule& CountdownCancelTextRule() {
  static const ConfigCheck::TextRule rule = ConfigCheck::FormattedOnce(
      "the countdown's cancel message", "players are not told when a countdown is cancelled",
      {"PlayerName", "PlayerCount", "ServerName"});
  return rule;
}

CountdownSettings ReadCountdownSettings(const SettingValue& document) {
  CountdownSettings settings;
  const SettingValue countdown = document.Member("Countdown");
  if (!countdown.Present() ||
      !countdown.Judge(JsonKind::kObject,
                       {kError, "it is ignored, so bw.countdown uses the defaults"})) {
    return settings;
  }
  settings.steps = ReadSteps(countdown.Member("Steps"), settings.steps);
  const MessageMembers members = MessageMembersOf(countdown, MessageKeys::kAnnouncement);
  settings.text =
      members.text.TextOr(settings.text, {kError, "it is ignored, so the countdown says $default"},
                          CountdownTextRule());
  if (members.text.IsString() && IsBlankText(settings.text)) {
    members.text.AtValue(
        kError, fmt::format("a blank text: the countdown's announcements before 0 are never sent; "
                            "write the text, such as \"{}\"",
                            kDefaultCountdownText));
  }
  settings.final_text =
      countdown.Member("FinalMessage")
          .TextOr("", {kError, "it is ignored, so nothing is sent at 0"}, CountdownFinalTextRule());
  settings.cancel_text = countdown.Member("CancelMessage")
                             .TextOr(settings.cancel_text,
                                     {kError,
                                      "it is ignored, so a cancelled countdown is announced "
                                      "with $default"},
                                     CountdownCancelTextRule());
  settings.look = ReadLook(members);
  return settings;
}

}  // namespace Bellwright
