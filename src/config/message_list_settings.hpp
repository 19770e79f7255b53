#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/byte_color.hpp"
#include "config/setting_reader.hpp"

namespace Bellwright::ConfigCheck {
struct TextRule;
}

// The messages that the timed messages, the announcement lists and the schedules send:
// one entry, and a list of them with its order and minimum of players. An entry is
// read strictly, as its turn has always read it: a value of the wrong JSON type costs
// the message its turn.
namespace Bellwright {

class ServerFilter;

// What a message says and to whom.
struct MessageContent {
  std::string text;
  std::string type = "Chat";
  std::vector<std::string> include_groups;
  std::vector<std::string> exclude_groups;
  ByteColor colour = MakeByteColor(0, 0, 0);

  friend bool operator==(const MessageContent&, const MessageContent&) = default;
};

// How a notification looks.
struct NotificationLook {
  float display_scale = 1.0F;
  float display_time = 10.0F;
  std::string icon;

  friend bool operator==(const NotificationLook&, const NotificationLook&) = default;
};

// One message. A part of the wrong type is none; a turn reads the sender for chat lines
// only, and the look for notifications only, at the first player who gets it.
struct MessageEntry {
  std::optional<MessageContent> content;
  // The text is missing, empty or only spaces where a blank message is never sent (a
  // list's, a schedule's): the turn sends nothing, and the preview says why. The content
  // stays, for a schedule's steps that bring a text of their own.
  bool blank = false;
  std::optional<std::string> sender;
  std::optional<NotificationLook> notification;

  friend bool operator==(const MessageEntry&, const MessageEntry&) = default;
};

// How a turn chooses its message: drawn at random, or the one after the message chosen
// last, in list order ("Sequential", written exactly so).
enum class MessageOrder { kRandom, kSequential };

// A turn needs at most this many players: more than any server holds.
inline constexpr long long kMostPlayers = 1'000'000;

struct MessageList {
  MessageOrder order = MessageOrder::kRandom;
  // A turn with fewer players connected sends nothing; held to [0, kMostPlayers].
  long long min_players = 0;
  // One per entry (an object's members count too, and none of them can be read).
  std::vector<MessageEntry> messages;

  friend bool operator==(const MessageList&, const MessageList&) = default;
};

// The timed messages have always sent a blank text as it stands; the lists and the
// schedules send nothing in its place. A schedule judges its text itself, as its steps
// may each bring their own.
enum class BlankText { kSent, kNotSent, kNotSentJudgedByOwner };

// How the findings of an entry speak of it where it stands.
struct EntryWords {
  std::string_view lost;        // what a value of the wrong type costs
  std::string_view never_sent;  // what a type outside the message types costs
  const ConfigCheck::TextRule& text;
  BlankText blank = BlankText::kNotSent;
};

// How the findings of a list speak of it where it stands.
struct ListWords {
  std::string_view order_what;   // "an order of messages"
  std::string_view few_players;  // what a minimum of the wrong type costs
  std::string_view no_messages;  // what messages of the wrong type cost
  std::string_view missing;      // a list without messages, when it runs
  std::string_view empty;        // a list with an empty array, when it runs
  EntryWords entry;
  // Messages written as an object are none, but their members' texts and colours have
  // always been judged as messages' are; the timed messages' members wholly.
  bool members_judged_whole = false;
  // The entries this server has; every entry when none.
  const ServerFilter* servers = nullptr;
};

MessageEntry ReadMessageEntry(const SettingValue& entry, const EntryWords& words);

// A schedule's step written as an object: each message key it gives replaces the
// schedule's (`base`) for this step, the others are the schedule's.
MessageEntry ReadStepMessage(const SettingValue& step, const MessageEntry& base,
                             const EntryWords& words);

// An error when `owner`'s text is missing or blank: `never_sent` says what that costs.
void JudgeBlankText(const SettingValue& owner, std::string_view never_sent);

// The text and the colour of a message the plug-in does not read (one of messages
// written as an object), and those of a list's messages: the checks have always judged
// them wherever they stand.
void JudgeUnreadMessage(const SettingValue& message, const ConfigCheck::TextRule& rule);
void JudgeUnreadList(const SettingValue& list, const ConfigCheck::TextRule& rule);

// `judge_empty`: whether the list runs, so that one without messages is worth a word.
MessageList ReadMessageList(const SettingValue& section, const ListWords& words, bool judge_empty);

// A list's own group lists, for each of its messages that has neither of its own; one that
// cannot be read leaves those messages unsent.
void ApplyListGroups(const SettingValue& list, MessageList& messages);

}  // namespace Bellwright
