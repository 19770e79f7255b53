#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "base/byte_color.hpp"
#include "config/config.hpp"

// "TimedMessages", read at the moment of use: the schedule's and the turn's settings
// leniently, a message's own settings strictly (a value of the wrong JSON type throws
// the library's error, which costs the message its turn).
namespace Bellwright {

// What a message says and to whom.
struct TimedMessageContent {
  std::string text;                           // "MessageToSend"
  std::string type = "Chat";                  // "MessageType"
  std::vector<std::string> include_groups;    // "Only_Send_To_Permission_Groups"
  std::vector<std::string> exclude_groups;    // "Exclude_Permissions_Groups"
  ByteColor colour = MakeByteColor(0, 0, 0);  // "MessageColour"
};

// How a notification looks.
struct TimedNotificationLook {
  float display_scale = 1.0F;  // "DisplayScale"
  float display_time = 10.0F;  // "DisplayTime"
  std::string icon;            // "Icon_BP"
};

inline constexpr const char* kDefaultTimedMessageSender = "Bellwright";

// One entry of "Messages". Lives no longer than the live configuration.
class TimedMessageEntry {
 public:
  explicit TimedMessageEntry(const nlohmann::json& entry) : entry_(entry) {}

  [[nodiscard]] TimedMessageContent Content() const;
  // "Sender", read for chat lines only.
  [[nodiscard]] std::string Sender() const;
  // Read for notifications only.
  [[nodiscard]] TimedNotificationLook NotificationLook() const;

 private:
  const nlohmann::json& entry_;
};

// The section. Lives no longer than the live configuration.
class TimedMessagesSection {
 public:
  explicit TimedMessagesSection(const nlohmann::json& document = ConfigDocument());

  // An announcement list, whose "Order", "MinPlayers" and "Messages" read as the
  // section's do.
  static TimedMessagesSection OfList(const nlohmann::json& list);

  [[nodiscard]] bool Enabled() const;
  // "Interval" as whole seconds (truncated toward zero), 0 by default.
  [[nodiscard]] double IntervalSeconds() const;
  // "Order": "Random" by default.
  [[nodiscard]] std::string Order() const;
  // "MinPlayers", truncated and held to [0, most].
  [[nodiscard]] long long MinPlayers(long long most) const;
  // The entries of "Messages": its size when it is an array or an object, else 0.
  [[nodiscard]] int MessageCount() const;
  // Throws the library's error when "Messages" is not an array or has no such entry.
  [[nodiscard]] TimedMessageEntry Message(int index) const;

 private:
  struct SectionItself {};
  TimedMessagesSection(SectionItself /*tag*/, const nlohmann::json& section) : timed_(section) {}

  const nlohmann::json& timed_;
};

}  // namespace Bellwright
