#include "config_checks/colour_checks.hpp"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "config_checks/command_registrations.hpp"
#include "config_checks/json_text/document_walk.hpp"
#include "config_checks/json_text/findings.hpp"
#include "config_checks/json_text/json_pointer.hpp"

namespace Bellwright::ConfigCheck {
namespace {

using nlohmann::json;

constexpr std::string_view kColourObjects[] = {
    "/Bellwright/ClientChatColour",
    "/Bellwright/ServerMessageColor",
    "/Bellwright/NotificationColor",
    "/Bellwright/WelcomeMessage/WelcomeMessageColour",
    "/TimedMessages/Messages/*/MessageColour",
    "/Announcements/*/Messages/*/MessageColour",
    "/Schedules/*/MessageColour",
    "/Countdown/MessageColour",
};
constexpr std::string_view kCommands = "/CustomCommands";
constexpr const char* kComponentKeys[] = {"R", "G", "B"};

struct Component {
  std::string pointer;
  const json* value = nullptr;
};

// The whole number the plug-in takes from a component before keeping its low 8
// bits; objects read integers, the custom commands' arrays read single floats. A
// number beyond the 32-bit range counts as 0.
std::int64_t ReadNumber(const json& value, bool read_as_float) {
  if (value.is_number_integer() && !read_as_float) {
    return value.is_number_unsigned() ? static_cast<std::int64_t>(value.get<std::uint64_t>())
                                      : value.get<std::int64_t>();
  }
  const double number = read_as_float ? static_cast<double>(static_cast<float>(value.get<double>()))
                                      : value.get<double>();
  const double truncated = std::trunc(number);
  if (!std::isfinite(truncated) || truncated < -2147483648.0 || truncated >= 2147483648.0) {
    return 0;
  }
  return static_cast<std::int64_t>(truncated);
}

bool HasFraction(const json& value) {
  return value.is_number_float() && std::trunc(value.get<double>()) != value.get<double>();
}

// A colour on the 0-1 scale loses its fractions: name the 0-255 colour meant.
bool CheckScale(const std::string& pointer, const std::vector<Component>& components, bool is_array,
                Findings& findings) {
  bool any_fraction = false;
  for (const Component& component : components) {
    const double number = component.value->get<double>();
    if (number < 0 || number > 1) {
      return false;
    }
    any_fraction = any_fraction || HasFraction(*component.value);
  }
  if (!any_fraction) {
    return false;
  }
  std::vector<std::string> read;
  std::vector<std::string> meant;
  for (std::size_t index = 0; index < components.size(); ++index) {
    const double number = components[index].value->get<double>();
    const auto whole = static_cast<int>(std::lround(number * 255));
    read.push_back(std::to_string(static_cast<int>(std::trunc(number))));
    meant.push_back(is_array ? std::to_string(whole)
                             : fmt::format("\"{}\": {}", kComponentKeys[index], whole));
  }
  findings.AtValue(Severity::kWarning, pointer,
                   fmt::format("a colour on the 0-1 scale: components run from 0 to 255 and "
                               "fractions are dropped, so this reads as {}; for the colour meant, "
                               "write {}",
                               fmt::join(read, ", "),
                               is_array ? fmt::format("[{}]", fmt::join(meant, ", "))
                                        : fmt::format("{}", fmt::join(meant, ", "))));
  return true;
}

void CheckRange(const Component& component, bool read_as_float, Findings& findings) {
  const std::int64_t read = ReadNumber(*component.value, read_as_float);
  const double number = component.value->get<double>();
  if (read >= 0 && read <= 255 && std::isfinite(number) && number > -1 && number < 256) {
    return;
  }
  const bool beyond = (read == 0 && std::trunc(number) != 0) || !std::isfinite(number);
  findings.AtValue(Severity::kWarning, component.pointer,
                   beyond ? fmt::format("{} is outside 0-255 and too large to wrap: it reads as 0",
                                        component.value->dump())
                          : fmt::format("{} is outside 0-255: only its low 8 bits count, so it "
                                        "reads as {}",
                                        component.value->dump(), read & 0xFF));
}

// Checks one colour whose components are all numbers (other types are type findings).
void CheckColour(const std::string& pointer, const std::vector<Component>& components,
                 bool is_array, Findings& findings) {
  for (const Component& component : components) {
    if (!component.value->is_number()) {
      return;
    }
  }
  if (components.empty() || CheckScale(pointer, components, is_array, findings)) {
    return;
  }
  for (const Component& component : components) {
    CheckRange(component, is_array, findings);
  }
}

void CheckColourObject(const std::string& pointer, const json& colour, Findings& findings) {
  if (!colour.is_object()) {
    return;
  }
  std::vector<Component> components;
  for (const char* key : kComponentKeys) {
    if (const json* value = Member(colour, key)) {
      components.push_back({ChildPointer(pointer, key), value});
    }
  }
  CheckColour(pointer, components, false, findings);
}

void CheckColourArray(const std::string& pointer, const json& colour, Findings& findings) {
  if (!colour.is_array()) {
    return;
  }
  if (colour.size() < 3) {
    findings.AtValue(Severity::kWarning, pointer,
                     fmt::format("a colour of {} number{}: it takes three, [red, green, blue], so "
                                 "the reply comes out black",
                                 colour.size(), colour.size() == 1 ? "" : "s"));
    return;
  }
  std::vector<Component> components;
  for (std::size_t index = 0; index < 3; ++index) {
    components.push_back({ChildPointer(pointer, index), &colour[index]});
  }
  CheckColour(pointer, components, true, findings);
}

// Whether a custom command's colour array may hold anything to report.
bool NeedsAWord(const json& colour) {
  if (!colour.is_array() || colour.size() < 3) {
    return colour.is_array();
  }
  bool all_at_most_one = true;
  for (std::size_t index = 0; index < 3; ++index) {
    if (!colour[index].is_number()) {
      return false;  // a type finding, not a colour one
    }
    const double number = colour[index].get<double>();
    if (!(number > -1 && number < 256)) {
      return true;
    }
    all_at_most_one = all_at_most_one && number >= 0 && number <= 1;
  }
  return all_at_most_one;
}

}  // namespace

bool IsColourComponent(std::string_view pointer) {
  const std::string parent = ParentPointer(pointer);
  for (const std::string_view pattern : kColourObjects) {
    if (MatchesPattern(pattern, parent)) {
      return true;
    }
  }
  return false;
}

void CheckColours(const json& document, Findings& findings) {
  for (const std::string_view pattern : kColourObjects) {
    ForEachMatch(document, pattern, [&](const std::string& pointer, const json& colour) {
      CheckColourObject(pointer, colour, findings);
    });
  }
  const json* commands = Member(document, "CustomCommands");
  if (commands == nullptr || !commands->is_object()) {
    return;
  }
  // A file may hold thousands of commands: their pointers are made only for those
  // whose colour needs a word.
  for (const auto& [name, command] : commands->items()) {
    const json* colour = Member(command, "MessageColor");
    if (colour != nullptr && IsKeptCommand(command) && NeedsAWord(*colour)) {
      CheckColourArray(ChildPointer(ChildPointer(kCommands, name), "MessageColor"), *colour,
                       findings);
    }
  }
}

}  // namespace Bellwright::ConfigCheck
