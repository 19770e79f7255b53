#pragma once

#include <map>
#include <string_view>

#include "config/config_settings.hpp"
#include "config_checks/text_faults.hpp"

namespace Bellwright {

// The format rule each reader gives the text at a place of the file.
inline const ConfigCheck::TextRule& TextRuleAt(std::string_view pattern) {
  using Rule = const ConfigCheck::TextRule& (*)();
  static const std::map<std::string_view, Rule> kRules = {
      {"/NoPermission", &NoPermissionTextRule},
      {"/CooldownMessage", &CooldownLineTextRule},
      {"/CustomCommands/*/Message", &CommandReplyTextRule},
      {"/TimedMessages/Messages/*/MessageToSend", &TimedMessageTextRule},
      {"/Announcements/*/Messages/*/MessageToSend", &ListMessageTextRule},
      {"/Schedules/*/MessageToSend", &ScheduleTextRule},
      {"/TimedMessages/OptOutOffMessage", &OptOutOffTextRule},
      {"/TimedMessages/OptOutOnMessage", &OptOutOnTextRule},
      {"/Countdown/MessageToSend", &CountdownTextRule},
      {"/Countdown/FinalMessage", &CountdownFinalTextRule},
      {"/Bellwright/WelcomeMessage/Message", &WelcomeTextRule},
      {"/Bellwright/WelcomeMessage/FirstJoinMessage", &FirstJoinTextRule},
      {"/Bellwright/WelcomeMessage/GroupMessages/*/Message", &GroupWelcomeTextRule},
  };
  return kRules.at(pattern)();
}

}  // namespace Bellwright
