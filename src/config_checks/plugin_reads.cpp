#include "config_checks/plugin_reads.hpp"

#include <string>
#include <vector>

#include "config_checks/command_registrations.hpp"
#include "config_checks/json_text/document_walk.hpp"
#include "config_checks/json_text/json_pointer.hpp"
#include "config_checks/opt_out_checks.hpp"

namespace Bellwright::ConfigCheck {

using nlohmann::json;

bool PluginReads(const json& document, std::string_view pointer) {
  return LoaderReads(document, pointer) && StorageReads(document, pointer);
}

bool LoaderReads(const json& document, std::string_view pointer) {
  const std::vector<std::string> tokens = PointerTokens(pointer);
  if (tokens.size() < 3 || tokens[0] != "CustomCommands") {
    return true;
  }
  const json* command = ValueAt(document, CommandPointer(tokens[1]));
  if (command == nullptr || !command->is_object() || tokens[2] == "Message") {
    return true;
  }
  return IsKeptCommand(*command);
}

namespace {

// How many tokens of `tokens` name a message entry that `tokens` lies inside, or 0:
// the timed messages, the lists' messages, and each schedule, which is its own entry.
std::size_t MessageEntryLength(const std::vector<std::string>& tokens) {
  if (tokens.size() >= 3 && tokens[0] == "TimedMessages" && tokens[1] == "Messages") {
    return 3;
  }
  if (tokens.size() >= 4 && tokens[0] == "Announcements" && tokens[2] == "Messages") {
    return 4;
  }
  if (tokens.size() >= 2 && tokens[0] == "Schedules") {
    return 2;
  }
  return 0;
}

}  // namespace

bool TimedMessageReads(const json& document, std::string_view pointer) {
  const std::vector<std::string> tokens = PointerTokens(pointer);
  const std::size_t entry_length = MessageEntryLength(tokens);
  if (entry_length == 0 || tokens.size() <= entry_length) {
    return true;
  }
  const std::string& key = tokens[entry_length];
  const bool chat_only = key == "Sender";
  const bool notification_only = key == "DisplayScale" || key == "DisplayTime" || key == "Icon_BP";
  if (!chat_only && !notification_only) {
    return true;
  }
  const json* entry = ValueAt(document, ParentPointer(pointer, tokens.size() - entry_length));
  const json* type = entry != nullptr ? Member(*entry, "MessageType") : nullptr;
  if (type != nullptr && !type->is_string()) {
    return true;  // the turn fails on the type already
  }
  const std::string kind = type != nullptr ? type->get<std::string>() : "Chat";
  return chat_only ? (kind == "Chat" || kind == "Client") : kind == "Notification";
}

}  // namespace Bellwright::ConfigCheck
