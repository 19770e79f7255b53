#include "config/message_list_settings.hpp"

#include "config/colour_reader.hpp"

namespace Bellwright {
namespace {

constexpr Severity kError = Severity::kError;
constexpr Severity kWarning = Severity::kWarning;

constexpr std::string_view kMessageTypes[] = {"Chat", "Client", "Server", "Notification"};
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

void JudgeEntry(const SettingValue& entry) {
  const SettingValue include = entry.Member("Only_Send_To_Permission_Groups");
  const SettingValue exclude = entry.Member("Exclude_Permissions_Groups");
  if (IsNonEmptyArray(include) && IsNonEmptyArray(exclude)) {
    exclude.AtValue(kWarning,
                    "is ignored: the message has an include list "
                    "(\"Only_Send_To_Permission_Groups\"), which alone decides who "
                    "receives it");
  }
  const SettingValue type = entry.Member("MessageType");
  if (type.Present() && *type.Json() == "Notification") {
    JudgeVisible(entry.Member("DisplayTime"), entry.Member("DisplayScale"), "this timed message");
  }
  const SettingValue text = entry.Member("MessageToSend");
  if (!text.Present()) {
    entry.AtValue(kWarning, "no \"MessageToSend\": an empty message goes out");
  } else if (text.IsString() && text.Json()->get_ref<const std::string&>().empty()) {
    text.AtValue(kWarning, "an empty text: an empty message goes out");
  }
  const SettingValue colour = entry.Member("MessageColour");
  if (!colour.Present()) {
    entry.AtValue(kWarning,
                  "no \"MessageColour\": the message comes out black; add for example "
                  "\"MessageColour\": {\"R\": 255, \"G\": 255, \"B\": 255}");
  }
  JudgeComponentsGiven(colour, "the message comes out black");
}

}  // namespace

MessageEntry ReadMessageEntry(const SettingValue& entry, const EntryWords& words) {
  MessageEntry read;
  const WrongType lost{kError, words.lost};
  if (!entry.Judge(JsonKind::kObject, lost)) {
    return read;
  }
  const SettingValue text = entry.Member("MessageToSend");
  const auto message = text.Strict<std::string>(JsonKind::kString, "", lost);
  text.JudgeText(words.text);
  const SettingValue type_value = entry.Member("MessageType");
  const auto type = type_value.Strict<std::string>(JsonKind::kString, "Chat", lost);
  type_value.JudgeChoice({kMessageTypes, kError, "a message type", words.never_sent});
  const auto include = entry.Member("Only_Send_To_Permission_Groups").StrictTexts(lost);
  const auto exclude = entry.Member("Exclude_Permissions_Groups").StrictTexts(lost);
  const auto colour = StrictColour(entry.Member("MessageColour"), {lost, lost});
  // A type of the wrong JSON type fails the turn already: the rest counts as read.
  const std::string kind = type.value_or("");
  const bool chat = !type || kind == "Chat" || kind == "Client";
  const bool notification = !type || kind == "Notification";
  read.sender = entry.Member("Sender").Strict<std::string>(JsonKind::kString, kDefaultMessageSender,
                                                           chat ? lost : kUnread);
  const auto scale = entry.Member("DisplayScale")
                         .Strict<float>(JsonKind::kNumber, 1.0F, notification ? lost : kUnread);
  const auto time = entry.Member("DisplayTime")
                        .Strict<float>(JsonKind::kNumber, 10.0F, notification ? lost : kUnread);
  const auto icon = entry.Member("Icon_BP").Strict<std::string>(JsonKind::kString, "",
                                                                notification ? lost : kUnread);
  if (message && type && include && exclude && colour) {
    read.content = MessageContent{*message, *type, *include, *exclude, *colour};
  }
  if (scale && time && icon) {
    read.notification = NotificationLook{*scale, *time, *icon};
  }
  JudgeEntry(entry);
  return read;
}

void JudgeUnreadMessage(const SettingValue& message, const ConfigCheck::TextRule& rule) {
  if (message.IsObject()) {
    JudgeColourObject(message.Member("MessageColour"));
    message.Member("MessageToSend").JudgeText(rule);
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
      list.messages.push_back(ReadMessageEntry(entry, words.entry));
    }
  } else if (messages.IsObject()) {
    list.messages.resize(messages.Json()->size());
    for (const SettingValue& member : messages.Entries()) {
      if (words.members_judged_whole && member.IsObject()) {
        JudgeEntry(member);
      }
      JudgeUnreadMessage(member, words.entry.text);
    }
  }
  return list;
}

}  // namespace Bellwright
