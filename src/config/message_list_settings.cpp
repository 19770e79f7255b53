#include "config/message_list_settings.hpp"

#include "base/plugin_name.hpp"
#include "config/colour_reader.hpp"
#include "config/message_members.hpp"
#include "config/server_filter.hpp"

namespace Bellwright {
namespace {

constexpr std::string_view kOrders[] = {"Random", "Sequential"};

// The turn reads a chat line's sender and a notification's look only: a value of the
// wrong type elsewhere is a warning for the day the type changes.
constexpr WrongType kUnread{
    kWarning,
    "this message's type does not read it, but a change of \"MessageType\" would stop the message",
    true, true};

bool IsNonEmptyArray(const SettingValue& value) {
  return value.IsArray() && !value.Json()->empty();
}

void JudgeEntry(const SettingValue& entry, const MessageMembers& members) {
  const SettingValue include = entry.Member("Only_Send_To_Permission_Groups");
  const SettingValue exclude = entry.Member("Exclude_Permissions_Groups");
  if (IsNonEmptyArray(include) && IsNonEmptyArray(exclude)) {
    exclude.AtValue(kWarning,
                    "is ignored: the message has an include list "
                    "(\"Only_Send_To_Permission_Groups\"), which alone decides who "
                    "receives it");
  }
  if (members.type.Present() && *members.type.Json() == "Notification") {
    JudgeVisible(members.display_time, members.display_scale, "this timed message");
  }
  if (!members.text.Present()) {
    entry.AtValue(kWarning, "no \"MessageToSend\": an empty message goes out");
  } else if (members.text.IsString() &&
             members.text.Json()->get_ref<const std::string&>().empty()) {
    members.text.AtValue(kWarning, "an empty text: an empty message goes out");
  }
  if (!members.colour.Present()) {
    entry.AtValue(kWarning,
                  "no \"MessageColour\": the message comes out black; add for example "
                  "\"MessageColour\": {\"R\": 255, \"G\": 255, \"B\": 255}");
  }
  JudgeComponentsGiven(members.colour, "the message comes out black");
}

}  // namespace

MessageEntry ReadMessageEntry(const SettingValue& entry, const EntryWords& words) {
  MessageEntry read;
  const WrongType lost{kError, words.lost};
  if (!entry.Judge(JsonKind::kObject, lost)) {
    return read;
  }
  const MessageMembers members = MessageMembersOf(entry, MessageKeys::kAnnouncement);
  const auto text = members.text.Strict<std::string>(JsonKind::kString, "", lost);
  members.text.JudgeText(words.text);
  const auto type = members.type.Strict<std::string>(JsonKind::kString, "Chat", lost);
  members.type.JudgeChoice({kMessageTypes, kError, "a message type", words.never_sent});
  const auto include = entry.Member("Only_Send_To_Permission_Groups").StrictTexts(lost);
  const auto exclude = entry.Member("Exclude_Permissions_Groups").StrictTexts(lost);
  const auto colour = StrictColour(members.colour, {lost, lost});
  // A type of the wrong JSON type fails the turn already: the rest counts as read.
  const bool chat = !type || *type == "Chat" || *type == "Client";
  const WrongType& look_lost = !type || *type == "Notification" ? lost : kUnread;
  read.sender =
      members.sender.Strict<std::string>(JsonKind::kString, kPluginName, chat ? lost : kUnread);
  const auto scale = members.display_scale.Strict<float>(JsonKind::kNumber, 1.0F, look_lost);
  const auto time = members.display_time.Strict<float>(JsonKind::kNumber, 10.0F, look_lost);
  const auto icon = members.icon.Strict<std::string>(JsonKind::kString, "", look_lost);
  if (text && type && include && exclude && colour) {
    read.content = MessageContent{*text, *type, *include, *exclude, *colour};
  }
  if (scale && time && icon) {
    read.notification = NotificationLook{*scale, *time, *icon};
  }
  JudgeEntry(entry, members);
  return read;
}

void JudgeUnreadMessage(const SettingValue& message, const ConfigCheck::TextRule& rule) {
  if (message.IsObject()) {
    const MessageMembers members = MessageMembersOf(message, MessageKeys::kAnnouncement);
    JudgeColourObject(members.colour);
    members.text.JudgeText(rule);
  }
}

void JudgeUnreadList(const SettingValue& list, const ConfigCheck::TextRule& rule) {
  for (const SettingValue& message : list.Member("Messages").Entries()) {
    JudgeUnreadMessage(message, rule);
  }
}

MessageList ReadMessageList(const SettingValue& section, const ListWords& words, bool judge_empty) {
  MessageList list;
  const std::string order = section.Member("Order").ChoiceOr(
      "Random", {kWarning, "it is ignored, so each message is drawn at random"},
      {kOrders, kWarning, words.order_what, "each message is drawn at random", "orders"});
  list.order = order == "Sequential" ? MessageOrder::kSequential : MessageOrder::kRandom;
  list.min_players =
      section.Member("MinPlayers")
          .WholeNumberOr(0, 0, kMostPlayers, {kError, words.few_players, kNumbersOnly});
  const SettingValue messages = section.Member("Messages");
  if (judge_empty && !messages.Present()) {
    section.AtValue(kWarning, std::string(words.missing));
  } else if (judge_empty && messages.IsArray() && messages.Json()->empty()) {
    messages.AtValue(kWarning, std::string(words.empty));
  }
  if (messages.Present() && messages.Judge(JsonKind::kArray, {kError, words.no_messages})) {
    for (const SettingValue& entry : messages.Elements()) {
      MessageEntry read = ReadMessageEntry(entry, words.entry);
      if (words.servers == nullptr || words.servers->Has(entry)) {
        list.messages.push_back(std::move(read));
      }
    }
  } else if (messages.IsObject()) {
    list.messages.resize(messages.Json()->size());
    for (const SettingValue& member : messages.Entries()) {
      if (words.members_judged_whole && member.IsObject()) {
        JudgeEntry(member, MessageMembersOf(member, MessageKeys::kAnnouncement));
      }
      JudgeUnreadMessage(member, words.entry.text);
    }
  }
  return list;
}

}  // namespace Bellwright
