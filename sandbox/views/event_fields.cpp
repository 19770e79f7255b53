#include "views/event_fields.hpp"

#include <fmt/format.h>
#include <utf8.h>

#include <iterator>
#include <regex>

namespace Sandbox {
namespace {

std::string Dump(const Event& value) {
  return value.dump(-1, ' ', false, Event::error_handler_t::replace);
}

// Texts from the plug-in may hold bytes that are not UTF-8; they show as U+FFFD.
std::string Repaired(const std::string& text) {
  if (utf8::is_valid(text.begin(), text.end())) {
    return text;
  }
  std::string repaired;
  utf8::replace_invalid(text.begin(), text.end(), std::back_inserter(repaired));
  return repaired;
}

}  // namespace

std::string TextField(const Event& event, const char* name) {
  const auto found = event.find(name);
  if (found == event.end() || found->is_null()) {
    return {};
  }
  return found->is_string() ? Repaired(found->get_ref<const std::string&>()) : Dump(*found);
}

std::string NamesField(const Event& event, const char* name) {
  const auto found = event.find(name);
  if (found == event.end() || !found->is_array()) {
    return TextField(event, name);
  }
  std::string joined;
  for (const Event& item : *found) {
    joined += (joined.empty() ? "" : ", ") +
              (item.is_string() ? Repaired(item.get_ref<const std::string&>()) : Dump(item));
  }
  return joined.empty() ? "-" : joined;
}

std::optional<Rgb> ShownColourField(const Event& event) {
  const auto found = event.find("color");
  if (found == event.end() || !found->is_array() || found->size() < 3) {
    return std::nullopt;
  }
  for (std::size_t index = 0; index < 3; ++index) {
    if (!(*found)[index].is_number()) {
      return std::nullopt;
    }
  }
  return ShownColour((*found)[0].get<double>(), (*found)[1].get<double>(),
                     (*found)[2].get<double>());
}

namespace {

// The host's log lines begin with their own date and time ("01/01/26 00:00 " in the
// plug-in's pattern, "[2026-01-01 00:00:00.000] " in the logging library's default);
// every view already says when.
std::string WithoutTimestamp(const std::string& line) {
  static const std::regex kStamp(
      R"(^(\d\d/\d\d/\d\d \d\d:\d\d(:\d\d)? |\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d(\.\d+)?\] ))");
  return std::regex_replace(line, kStamp, "", std::regex_constants::format_first_only);
}

}  // namespace

std::string RecordText(const Event& event) {
  const std::string name = TextField(event, "event");
  if (name == "permission_query") {
    return TextField(event, "group") + (event.value("result", false) ? ": yes" : ": no");
  }
  if (name == "registry") {
    return fmt::format("console: {} | rcon: {} | chat: {} | hooks: {}",
                       NamesField(event, "console"), NamesField(event, "rcon"),
                       NamesField(event, "chat"), NamesField(event, "hooks"));
  }
  if (name == "log") {
    return WithoutTimestamp(TextField(event, "line"));
  }
  if (name == "host_error") {
    return TextField(event, "where") + ": " + TextField(event, "what");
  }
  if (event.contains("text")) {
    return TextField(event, "text");
  }
  Event rest = event;
  rest.erase("t");
  rest.erase("event");
  return Dump(rest);
}

}  // namespace Sandbox
