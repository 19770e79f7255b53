#include "config/timed_message_settings.hpp"

#include <fmt/format.h>

#include <cmath>

#include "config_checks/command_name_checks.hpp"
#include "config_checks/text_faults.hpp"

namespace Bellwright {
namespace {

constexpr Severity kError = Severity::kError;
constexpr Severity kWarning = Severity::kWarning;

constexpr std::string_view kStaysOff = "it is ignored, so timed messages stay off";

ConfigCheck::TextRule OptOutAnswerRule(std::string_view what, std::string_view undelivered) {
  return {.what = what,
          .placeholders = "{Command}",
          .undelivered = undelivered,
          .substituted = {"Command"},
          .passes = {ConfigCheck::NoArguments()}};
}

// The clock reads true and false as 1 and 0 and drops a fraction, so true, false and
// 1.5 send every second as 0 does, though nobody wrote a second. A whole 1 says so
// itself and gets no warning.
bool ReadsAsOneSecondOrBoolean(const nlohmann::json& interval) {
  return interval.is_boolean() ||
         (interval.is_number_float() && std::trunc(interval.get<double>()) == 1 &&
          interval.get<double>() != 1);
}

void JudgeInterval(const SettingValue& timed, const SettingValue& interval) {
  if (!interval.Present()) {
    timed.AtValue(kWarning,
                  "timed messages are enabled without an \"Interval\": a message goes out "
                  "every second; add for example \"Interval\": 600 (seconds)");
  } else if (interval.IsNumber() && std::trunc(interval.Json()->get<double>()) <= 0) {
    interval.AtValue(kWarning,
                     fmt::format("an interval of {} seconds: a timed message goes out every "
                                 "second; give the seconds between two messages, such as 600",
                                 interval.Json()->dump()));
  } else if (ReadsAsOneSecondOrBoolean(*interval.Json())) {
    const bool zero = *interval.Json() == false;
    interval.AtValue(kWarning,
                     fmt::format("{} reads as an interval of {}: a timed message goes out every "
                                 "second; give the seconds between two messages, such as 600",
                                 interval.Json()->dump(), zero ? "0 seconds" : "1 second"));
  }
}

std::string ReadOptOutCommand(const SettingValue& timed,
                              const ConfigCheck::Registrations& commands) {
  const SettingValue command = timed.Member("OptOutCommand");
  std::string name = command.ValueOr<std::string>(
      JsonKind::kString, "",
      {kError,
       "it is ignored, so no opt-out command is registered and players cannot turn timed "
       "messages off"});
  if (!name.empty()) {
    ConfigCheck::CheckOptOutCommandName(commands, name, command.Pointer(), timed.Findings());
  }
  return name;
}

std::string ReadAnswer(const SettingValue& answer, const char* fallback,
                       std::string_view consequence, const ConfigCheck::TextRule& rule) {
  std::string line =
      answer.ValueOr<std::string>(JsonKind::kString, fallback, {kError, consequence});
  answer.JudgeText(rule);
  return line;
}

}  // namespace

const ConfigCheck::TextRule& TimedMessageTextRule() {
  static const ConfigCheck::TextRule rule{.what = "a timed message",
                                          .placeholders = "{PlayerName} and {PlayerCount}",
                                          .undelivered = "this timed message is never delivered",
                                          .substituted = {"PlayerName", "PlayerCount"},
                                          .passes = {ConfigCheck::NoArguments()}};
  return rule;
}

const ConfigCheck::TextRule& OptOutOffTextRule() {
  static const ConfigCheck::TextRule rule =
      OptOutAnswerRule("the opt-out reply", "players who turn timed messages off get no reply");
  return rule;
}

const ConfigCheck::TextRule& OptOutOnTextRule() {
  static const ConfigCheck::TextRule rule =
      OptOutAnswerRule("the opt-in reply", "players who turn timed messages back on get no reply");
  return rule;
}

TimedMessageSettings ReadTimedMessageSettings(const SettingValue& document,
                                              const ConfigCheck::Registrations& commands) {
  TimedMessageSettings settings;
  const SettingValue timed = document.Member("TimedMessages");
  if (!timed.Present() || !timed.Judge(JsonKind::kObject, {kError, kStaysOff})) {
    return settings;
  }
  const SettingValue enabled = timed.Member("Enabled");
  settings.enabled = enabled.ValueOr<bool>(JsonKind::kBoolean, false, {kError, kStaysOff});
  const bool switched_on = enabled.Present() && *enabled.Json() == true;
  const SettingValue interval = timed.Member("Interval");
  settings.interval_seconds = std::trunc(interval.ValueOr<double>(
      JsonKind::kWholeNumber, 0.0,
      {kError, "it reads as 0, so a timed message goes out every second"}));
  if (switched_on) {
    JudgeInterval(timed, interval);
  }
  settings.list = ReadMessageList(
      timed,
      {.order_what = "an order of timed messages",
       .few_players = "it is ignored, so timed messages go out however few players are connected",
       .no_messages = "no timed message is ever sent",
       .missing = "timed messages are enabled without \"Messages\": nothing is ever sent",
       .empty = "timed messages are enabled with no messages: nothing is ever sent",
       .entry = {"this timed message is never sent (its turn passes with nothing sent)",
                 "this timed message is never sent", TimedMessageTextRule()},
       .members_judged_whole = true},
      switched_on);
  settings.opt_out_command = ReadOptOutCommand(timed, commands);
  settings.opt_out_off_line = ReadAnswer(
      timed.Member("OptOutOffMessage"), kDefaultOptOutOffLine,
      "it is ignored, so players who turn timed messages off get $default", OptOutOffTextRule());
  settings.opt_out_on_line = ReadAnswer(
      timed.Member("OptOutOnMessage"), kDefaultOptOutOnLine,
      "it is ignored, so players who turn timed messages on get $default", OptOutOnTextRule());
  return settings;
}

}  // namespace Bellwright
