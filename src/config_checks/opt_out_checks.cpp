#include "config_checks/opt_out_checks.hpp"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "config_checks/command_registrations.hpp"
#include "config_checks/custom_command_checks.hpp"
#include "config_checks/json_text/document_walk.hpp"
#include "config_checks/json_text/findings.hpp"
#include "config_checks/json_text/json_pointer.hpp"

namespace Bellwright::ConfigCheck {
namespace {

using nlohmann::json;

constexpr std::string_view kCommandPointer = "/TimedMessages/OptOutCommand";
constexpr std::string_view kStoragePointer = "/Bellwright/Storage";

// Read only for a MySQL server.
constexpr std::string_view kServerKeys[] = {"Host", "Port", "User", "Password", "Database"};

bool IsServerKey(std::string_view key) {
  return std::ranges::find(kServerKeys, key) != std::end(kServerKeys);
}

// The opt-out command as the plug-in reads it: none unless it is a non-empty string.
const std::string* OptOutCommand(const json& document) {
  const json* timed = Member(document, "TimedMessages");
  const json* command = timed != nullptr ? Member(*timed, "OptOutCommand") : nullptr;
  if (command == nullptr || !command->is_string() ||
      command->get_ref<const std::string&>().empty()) {
    return nullptr;
  }
  return &command->get_ref<const std::string&>();
}

// The first-join welcome as the plug-in reads it: none unless it is a non-empty string.
bool HasFirstJoinMessage(const json& document) {
  const json* bellwright = Member(document, "Bellwright");
  const json* welcome = bellwright != nullptr ? Member(*bellwright, "WelcomeMessage") : nullptr;
  const json* text =
      welcome != nullptr && welcome->is_object() ? Member(*welcome, "FirstJoinMessage") : nullptr;
  return text != nullptr && text->is_string() && !text->get_ref<const std::string&>().empty();
}

// Either keeps the storage open.
bool StorageKept(const json& document) {
  return OptOutCommand(document) != nullptr || HasFirstJoinMessage(document);
}

const json* StorageSection(const json& document) {
  const json* bellwright = Member(document, "Bellwright");
  return bellwright != nullptr ? Member(*bellwright, "Storage") : nullptr;
}

// Anything but a string reads as the default.
std::string StorageType(const json& storage) {
  const json* type = Member(storage, "Type");
  return type != nullptr && type->is_string() ? type->get<std::string>() : "SQLite";
}

void CheckCommandName(const Registrations& registrations, const std::string& name,
                      Findings& findings) {
  const std::string pointer(kCommandPointer);
  for (std::string& message : ChatNameWarnings("opt-out command", name, {"it", "it"})) {
    findings.AtValue(Severity::kWarning, pointer, std::move(message));
  }
  if (const auto holder = registrations.HolderOf(name)) {
    findings.AtValue(Severity::kWarning, pointer,
                     fmt::format("opt-out command {} is not registered: {} already has that name "
                                 "(letter case is ignored), so typing it runs that command and "
                                 "nobody can turn timed messages off",
                                 Quote(name), *holder));
  }
}

std::string KeyList(const std::vector<std::string>& keys) {
  std::vector<std::string> quoted;
  quoted.reserve(keys.size());
  for (const std::string& key : keys) {
    quoted.push_back(Quote(key));
  }
  if (quoted.size() == 1) {
    return quoted.front();
  }
  return fmt::format("{} and {}", fmt::join(quoted.begin(), quoted.end() - 1, ", "), quoted.back());
}

void CheckSqlite(const json& storage, Findings& findings) {
  std::vector<std::string> unread;
  for (const auto& [key, value] : storage.items()) {
    if (IsServerKey(key)) {
      unread.push_back(key);
    }
  }
  if (unread.empty()) {
    return;
  }
  const bool named = Member(storage, "Type") != nullptr;
  findings.AtValue(Severity::kWarning, std::string(kStoragePointer),
                   fmt::format("{} {} read only for \"Type\": \"MySQL\"; this storage is SQLite{}, "
                               "so the choices are kept in bellwright.sqlite next to config.json",
                               KeyList(unread), unread.size() == 1 ? "is" : "are",
                               named ? "" : " (the default)"));
}

void CheckPort(const json& port, Findings& findings) {
  if (!port.is_number()) {
    return;  // the wrong type has its own finding
  }
  const double number = std::trunc(port.get<double>());
  if (number >= 1 && number <= 65535) {
    return;
  }
  // The plug-in holds any number to the range, however large.
  const std::string pointer = ChildPointer(kStoragePointer, "Port");
  findings.AtValue(Severity::kError, pointer,
                   fmt::format("port {} is outside 1-65535: the plug-in connects to port {} "
                               "instead; give the port of the MySQL server, such as 3306",
                               port.dump(), number < 1 ? 1 : 65535));
}

void CheckMySql(const json& storage, Findings& findings) {
  const std::string pointer(kStoragePointer);
  const json* database = Member(storage, "Database");
  constexpr std::string_view kNoDatabase =
      "the server has nowhere to make the table, so the choices stay in memory only, for the "
      "session; name the database, such as \"Database\": \"bellwright\"";
  if (database == nullptr) {
    findings.AtValue(Severity::kError, pointer,
                     fmt::format("a MySQL storage without a \"Database\": {}", kNoDatabase));
  } else if (database->is_string() && database->get_ref<const std::string&>().empty()) {
    findings.AtValue(Severity::kError, ChildPointer(pointer, "Database"),
                     fmt::format("an empty database name: {}", kNoDatabase));
  }
  if (const json* port = Member(storage, "Port")) {
    CheckPort(*port, findings);
  }
}

void CheckStorage(const json& document, Findings& findings) {
  const json* storage = StorageSection(document);
  if (storage == nullptr || !storage->is_object()) {
    return;
  }
  if (!StorageKept(document)) {
    if (!storage->empty()) {
      findings.AtKey(Severity::kWarning, std::string(kStoragePointer),
                     "is not read: players' choices are only stored while \"TimedMessages\" "
                     "has an \"OptOutCommand\"");
    }
    return;
  }
  const std::string type = StorageType(*storage);
  if (type == "SQLite") {
    CheckSqlite(*storage, findings);
  } else if (type == "MySQL") {
    CheckMySql(*storage, findings);
  }
}

}  // namespace

bool StorageReads(const json& document, std::string_view pointer) {
  const std::vector<std::string> tokens = PointerTokens(pointer);
  if (tokens.size() < 2 || tokens[0] != "Bellwright" || tokens[1] != "Storage") {
    return true;
  }
  if (!StorageKept(document)) {
    return false;
  }
  if (tokens.size() >= 3 && IsServerKey(tokens[2])) {
    const json* storage = StorageSection(document);
    return storage != nullptr && StorageType(*storage) == "MySQL";
  }
  return true;
}

void CheckOptOut(const json& document, const Registrations& registrations, Findings& findings) {
  if (const std::string* command = OptOutCommand(document)) {
    CheckCommandName(registrations, *command, findings);
  }
  CheckStorage(document, findings);
}

}  // namespace Bellwright::ConfigCheck
