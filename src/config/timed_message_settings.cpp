#include "config/timed_message_settings.hpp"

#include <cmath>

#include "config/settings.hpp"

namespace Bellwright {
namespace {

using nlohmann::json;

std::vector<std::string> GroupList(const json& entry, const char* key) {
  return entry.value(key, std::vector<std::string>{});
}

const json& Messages(const json& timed) {
  static const json no_messages = json::array();
  const auto it = timed.find("Messages");
  return it == timed.end() ? no_messages : *it;
}

}  // namespace

TimedMessageContent TimedMessageEntry::Content() const {
  TimedMessageContent content;
  content.text = entry_.value("MessageToSend", content.text);
  content.type = entry_.value("MessageType", content.type);
  content.include_groups = GroupList(entry_, "Only_Send_To_Permission_Groups");
  content.exclude_groups = GroupList(entry_, "Exclude_Permissions_Groups");
  content.colour = Settings::ColorFromObject(Settings::Section(entry_, "MessageColour"));
  return content;
}

std::string TimedMessageEntry::Sender() const {
  return entry_.value("Sender", std::string(kDefaultTimedMessageSender));
}

TimedNotificationLook TimedMessageEntry::NotificationLook() const {
  TimedNotificationLook look;
  look.display_scale = entry_.value("DisplayScale", look.display_scale);
  look.display_time = entry_.value("DisplayTime", look.display_time);
  look.icon = entry_.value("Icon_BP", look.icon);
  return look;
}

TimedMessagesSection::TimedMessagesSection(const json& document)
    : timed_(Settings::SectionOrEmpty(document, "TimedMessages")) {}

TimedMessagesSection TimedMessagesSection::OfList(const json& list) {
  return {SectionItself{}, list};
}

bool TimedMessagesSection::Enabled() const {
  return Settings::ValueOr(timed_, "Enabled", false);
}

double TimedMessagesSection::IntervalSeconds() const {
  return std::trunc(Settings::ValueOr(timed_, "Interval", 0.0));
}

std::string TimedMessagesSection::Order() const {
  return Settings::ValueOr<std::string>(timed_, "Order", "Random");
}

long long TimedMessagesSection::MinPlayers(long long most) const {
  return Settings::WholeNumberOr(timed_, "MinPlayers", 0, 0, most);
}

int TimedMessagesSection::MessageCount() const {
  const json& messages = Messages(timed_);
  return messages.is_array() || messages.is_object() ? static_cast<int>(messages.size()) : 0;
}

TimedMessageEntry TimedMessagesSection::Message(int index) const {
  return TimedMessageEntry(Messages(timed_).at(static_cast<json::size_type>(index)));
}

}  // namespace Bellwright
