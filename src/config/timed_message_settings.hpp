#pragma once

#include <string>

#include "config/message_list_settings.hpp"
#include "config/setting_reader.hpp"

namespace Bellwright::ConfigCheck {
struct Registrations;
struct TextRule;
}  // namespace Bellwright::ConfigCheck

// The timed messages and the players' opt-out of them. The clock's and the turn's
// settings are read leniently, a message's own strictly (message_list_settings.hpp).
namespace Bellwright {

inline constexpr const char* kDefaultOptOutOffLine =
    "Timed messages are off for you. Type {Command} to turn them back on.";
inline constexpr const char* kDefaultOptOutOnLine = "Timed messages are on for you again.";

struct TimedMessageSettings {
  bool enabled = false;
  // Whole seconds (truncated toward zero), 0 by default.
  double interval_seconds = 0;
  MessageList list;
  // The chat command with which players turn timed messages off and on; empty: none.
  std::string opt_out_command;
  // The answers to a player who just turned timed messages off, or back on.
  std::string opt_out_off_line = kDefaultOptOutOffLine;
  std::string opt_out_on_line = kDefaultOptOutOnLine;

  friend bool operator==(const TimedMessageSettings&, const TimedMessageSettings&) = default;
};

// `commands`: the names the custom commands take, which the opt-out command must not.
TimedMessageSettings ReadTimedMessageSettings(const SettingValue& document,
                                              const ConfigCheck::Registrations& commands);

// How a timed message's text is formatted, and the opt-out's answers.
const ConfigCheck::TextRule& TimedMessageTextRule();
const ConfigCheck::TextRule& OptOutOffTextRule();
const ConfigCheck::TextRule& OptOutOnTextRule();

}  // namespace Bellwright
