#include "config/message_list_settings.hpp"

#include <fmt/format.h>

#include "base/blank_text.hpp"
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

// Missing, empty or only spaces: what a player would see as a blank message.
bool IsBlank(const SettingValue& text) {
  if (!text.Present()) {
    return true;
  }
  return text.IsString() && IsBlankText(text.Json()->get_ref<const std::string&>());
}

void JudgeBlankMember(const SettingValue& owner, const SettingValue& text,
                      std::string_view never_sent) {
  if (text.Present() && IsBlank(text)) {
    text.AtValue(kError, fmt::format("a blank text: {}; write the text to send", never_sent));
  } else if (!text.Present()) {
    owner.AtValue(kError,
                  fmt::format("no \"MessageToSend\": {}; add the text to send", never_sent));
  }
}

void JudgeBlankText(const SettingValue& entry, const MessageMembers& members,
                    const EntryWords& words) {
  if (words.blank == BlankText::kNotSentJudgedByOwner) {
    return;
  }
  if (words.blank == BlankText::kNotSent) {
    JudgeBlankMember(entry, members.text, words.never_sent);
    return;
  }
  if (!members.text.Present()) {
    entry.AtValue(kWarning, "no \"MessageToSend\": an empty message goes out");
  } else if (members.text.IsString() &&
             members.text.Json()->get_ref<const std::string&>().empty()) {
    members.text.AtValue(kWarning, "an empty text: an empty message goes out");
  }
}

void JudgeGroupPair(const SettingValue& include, const SettingValue& exclude,
                    std::string_view whose) {
  if (IsNonEmptyArray(include) && IsNonEmptyArray(exclude)) {
    exclude.AtValue(kWarning, fmt::format("is ignored: {} has an include list "
                                          "(\"Only_Send_To_Permission_Groups\"), which alone "
                                          "decides who receives it",
                                          whose));
  }
}

bool HasOwnGroups(const SettingValue& entry) {
  return entry.Member("Only_Send_To_Permission_Groups").Present() ||
         entry.Member("Exclude_Permissions_Groups").Present();
}

void JudgeEntry(const SettingValue& entry, const MessageMembers& members, const EntryWords& words) {
  JudgeGroupPair(entry.Member("Only_Send_To_Permission_Groups"),
                 entry.Member("Exclude_Permissions_Groups"), "the message");
  if (members.type.Present() && *members.type.Json() == "Notification") {
    JudgeVisible(members.display_time, members.display_scale, "this timed message");
  }
  JudgeBlankText(entry, members, words);
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
  const auto text = members.text.Strict<std::string>("", lost);
  members.text.JudgeText(words.text);
  const auto type = members.type.Strict<std::string>("Chat", lost);
  members.type.JudgeChoice({kMessageTypes, kError, "a message type", words.never_sent});
  const auto include = entry.Member("Only_Send_To_Permission_Groups").StrictTexts(lost);
  const auto exclude = entry.Member("Exclude_Permissions_Groups").StrictTexts(lost);
  const auto colour = StrictColour(members.colour, {lost, lost});
  // A type of the wrong JSON type fails the turn already: the rest counts as read.
  const bool chat = !type || *type == "Chat" || *type == "Client";
  const WrongType& look_lost = !type || *type == "Notification" ? lost : kUnread;
  read.sender = members.sender.Strict<std::string>(kPluginName, chat ? lost : kUnread);
  const auto scale = members.display_scale.Strict<float>(1.0F, look_lost);
  const auto time = members.display_time.Strict<float>(10.0F, look_lost);
  const auto icon = members.icon.Strict<std::string>("", look_lost);
  read.blank = words.blank != BlankText::kSent && IsBlank(members.text);
  if (text && type && include && exclude && colour) {
    read.content = MessageContent{*text, *type, *include, *exclude, *colour};
  }
  if (scale && time && icon) {
    read.notification = NotificationLook{*scale, *time, *icon};
  }
  JudgeEntry(entry, members, words);
  return read;
}

void JudgeBlankText(const SettingValue& owner, std::string_view never_sent) {
  JudgeBlankMember(owner, MessageMembersOf(owner, MessageKeys::kAnnouncement).text, never_sent);
}

MessageEntry ReadStepMessage(const SettingValue& step, const MessageEntry& base,
                             const EntryWords& words) {
  MessageEntry read = base;
  const WrongType lost{kError, words.lost};
  const MessageMembers members = MessageMembersOf(step, MessageKeys::kAnnouncement);
  const MessageContent content = base.content.value_or(MessageContent{});
  const auto text = members.text.Strict<std::string>(content.text, lost);
  members.text.JudgeText(words.text);
  const auto type = members.type.Strict<std::string>(content.type, lost);
  members.type.JudgeChoice({kMessageTypes, kError, "a message type", words.never_sent});
  const auto groups = [&lost, &step](std::string_view key, const std::vector<std::string>& own) {
    const SettingValue value = step.Member(key);
    return value.Present() ? value.StrictTexts(lost) : std::optional(own);
  };
  const auto include = groups("Only_Send_To_Permission_Groups", content.include_groups);
  const auto exclude = groups("Exclude_Permissions_Groups", content.exclude_groups);
  const auto colour = members.colour.Present() ? StrictColour(members.colour, {lost, lost})
                                               : std::optional(content.colour);
  if (members.sender.Present()) {
    read.sender = members.sender.Strict<std::string>(kPluginName, lost);
  }
  const NotificationLook look = base.notification.value_or(NotificationLook{});
  const auto scale = members.display_scale.Strict<float>(look.display_scale, lost);
  const auto time = members.display_time.Strict<float>(look.display_time, lost);
  const auto icon = members.icon.Strict<std::string>(look.icon, lost);
  read.notification.reset();
  if (base.notification && scale && time && icon) {
    read.notification = NotificationLook{*scale, *time, *icon};
  }
  read.content.reset();
  if (base.content && text && type && include && exclude && colour) {
    read.content = MessageContent{*text, *type, *include, *exclude, *colour};
  }
  read.blank = text && IsBlankText(*text);
  if (members.text.Present()) {
    JudgeBlankMember(step, members.text, words.never_sent);
  }
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
        JudgeEntry(member, MessageMembersOf(member, MessageKeys::kAnnouncement), words.entry);
      }
      JudgeUnreadMessage(member, words.entry.text);
    }
  }
  return list;
}

void ApplyListGroups(const SettingValue& list, MessageList& messages) {
  const SettingValue include = list.Member("Only_Send_To_Permission_Groups");
  const SettingValue exclude = list.Member("Exclude_Permissions_Groups");
  if (!include.Present() && !exclude.Present()) {
    return;
  }
  // A group list that cannot be read must not widen who gets a message.
  const WrongType lost{kError, "the list's messages without groups of their own are never sent"};
  const auto include_groups = include.StrictTexts(lost);
  const auto exclude_groups = exclude.StrictTexts(lost);
  JudgeGroupPair(include, exclude, "the list");
  const std::vector<SettingValue> entries = list.Member("Messages").Elements();
  for (std::size_t index = 0; index < entries.size() && index < messages.messages.size(); ++index) {
    std::optional<MessageContent>& content = messages.messages[index].content;
    if (!content || HasOwnGroups(entries[index])) {
      continue;
    }
    if (!include_groups || !exclude_groups) {
      content.reset();
      continue;
    }
    content->include_groups = *include_groups;
    content->exclude_groups = *exclude_groups;
  }
}

}  // namespace Bellwright
