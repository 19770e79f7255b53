#include "config/colour_reader.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace Bellwright {
namespace {

using nlohmann::json;

constexpr std::array<const char*, 3> kComponentKeys = {"R", "G", "B"};

struct Component {
  SettingValue value;
  int read = 0;
  bool readable = true;
};

// As the JSON library reads an integer member: integers keep their low bits; floats
// go through ColorComponentFromNumber; true and false are 1 and 0.
int ColorComponentOf(const json& member) {
  if (member.is_number_float()) {
    return ColorComponentFromNumber(member.get<double>());
  }
  return member.get<int>();
}

std::vector<Component> ReadComponents(const SettingValue& colour, const WrongType& wrong) {
  std::vector<Component> components;
  for (const char* key : kComponentKeys) {
    Component component{colour.Member(key)};
    if (component.value.Present()) {
      component.readable = component.value.Judge(JsonKind::kComponent, wrong);
      component.read = component.readable ? ColorComponentOf(*component.value.Json()) : 0;
    }
    components.push_back(std::move(component));
  }
  return components;
}

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
bool JudgeScale(const SettingValue& colour, const std::vector<const SettingValue*>& components,
                bool is_array) {
  bool any_fraction = false;
  for (const SettingValue* component : components) {
    const double number = component->Json()->get<double>();
    if (number < 0 || number > 1) {
      return false;
    }
    any_fraction = any_fraction || HasFraction(*component->Json());
  }
  if (!any_fraction) {
    return false;
  }
  std::vector<std::string> read;
  std::vector<std::string> meant;
  for (std::size_t index = 0; index < components.size(); ++index) {
    const double number = components[index]->Json()->get<double>();
    const auto whole = static_cast<int>(std::lround(number * 255));
    read.push_back(std::to_string(static_cast<int>(std::trunc(number))));
    meant.push_back(is_array ? std::to_string(whole)
                             : fmt::format("\"{}\": {}", kComponentKeys[index], whole));
  }
  colour.AtValue(Severity::kWarning,
                 fmt::format("a colour on the 0-1 scale: components run from 0 to 255 and "
                             "fractions are dropped, so this reads as {}; for the colour meant, "
                             "write {}",
                             fmt::join(read, ", "),
                             is_array ? fmt::format("[{}]", fmt::join(meant, ", "))
                                      : fmt::format("{}", fmt::join(meant, ", "))));
  return true;
}

void JudgeRange(const SettingValue& component, bool read_as_float) {
  const json& value = *component.Json();
  const std::int64_t read = ReadNumber(value, read_as_float);
  const double number = value.get<double>();
  if (read >= 0 && read <= 255 && std::isfinite(number) && number > -1 && number < 256) {
    return;
  }
  const bool beyond = (read == 0 && std::trunc(number) != 0) || !std::isfinite(number);
  component.AtValue(
      Severity::kWarning,
      beyond ? fmt::format("{} is outside 0-255 and too large to wrap: it reads as 0", value.dump())
             : fmt::format("{} is outside 0-255: only its low 8 bits count, so it "
                           "reads as {}",
                           value.dump(), read & 0xFF));
}

// One colour whose components are all numbers (other types have their own findings).
void JudgeColour(const SettingValue& colour, const std::vector<const SettingValue*>& components,
                 bool is_array) {
  for (const SettingValue* component : components) {
    if (!component->IsNumber()) {
      return;
    }
  }
  if (components.empty() || JudgeScale(colour, components, is_array)) {
    return;
  }
  for (const SettingValue* component : components) {
    JudgeRange(*component, is_array);
  }
}

// Reads and judges an object colour; none when it is unreadable.
std::optional<ByteColor> ReadObject(const SettingValue& colour, const ColourWrongTypes& wrong) {
  if (!colour.Judge(JsonKind::kObject, wrong.object)) {
    return std::nullopt;
  }
  const std::vector<Component> components = ReadComponents(colour, wrong.component);
  std::vector<const SettingValue*> present;
  bool readable = true;
  for (const Component& component : components) {
    if (component.value.Present()) {
      present.push_back(&component.value);
    }
    readable = readable && component.readable;
  }
  JudgeColour(colour, present, false);
  if (!readable) {
    return std::nullopt;
  }
  return MakeByteColor(components[0].read, components[1].read, components[2].read);
}

}  // namespace

int ColorComponentFromNumber(double number) {
  const double truncated = std::trunc(number);
  constexpr double kLowest = std::numeric_limits<int>::min();
  constexpr double kHighest = std::numeric_limits<int>::max();
  // NaN fails both comparisons and counts as 0 too.
  return truncated >= kLowest && truncated <= kHighest ? static_cast<int>(truncated) : 0;
}

std::optional<ByteColor> StrictColour(const SettingValue& colour, const ColourWrongTypes& wrong) {
  if (!colour.Present()) {
    return MakeByteColor(0, 0, 0);
  }
  return ReadObject(colour, wrong);
}

ByteColor LenientColour(const SettingValue& colour, ByteColor fallback,
                        const ColourWrongTypes& wrong) {
  if (!colour.Present()) {
    return fallback;
  }
  if (!colour.IsObject()) {
    colour.Judge(JsonKind::kObject, wrong.object);
    return fallback;
  }
  const std::vector<Component> components = ReadComponents(colour, wrong.component);
  std::vector<const SettingValue*> present;
  for (const Component& component : components) {
    if (component.value.Present()) {
      present.push_back(&component.value);
    }
  }
  JudgeColour(colour, present, false);
  return MakeByteColor(components[0].read, components[1].read, components[2].read);
}

void JudgeColourObject(const SettingValue& colour) {
  std::vector<SettingValue> components;
  for (const char* key : kComponentKeys) {
    if (SettingValue component = colour.Member(key); component.Present()) {
      components.push_back(std::move(component));
    }
  }
  std::vector<const SettingValue*> present;
  for (const SettingValue& component : components) {
    present.push_back(&component);
  }
  JudgeColour(colour, present, false);
}

void JudgeComponentsGiven(const SettingValue& colour, std::string_view consequence) {
  if (colour.IsObject() && std::ranges::none_of(kComponentKeys, [&colour](const char* key) {
        return colour.Member(key).Present();
      })) {
    colour.AtValue(Severity::kWarning,
                   fmt::format("a colour without \"R\", \"G\" or \"B\": {}", consequence));
  }
}

ByteColor MessageColorFromNumbers(const std::vector<float>& numbers) {
  if (numbers.size() < 3) {
    return MakeByteColor(0, 0, 0);
  }
  const auto component = [&numbers](std::size_t index) {
    return ColorComponentFromNumber(static_cast<double>(numbers[index]));
  };
  return MakeByteColor(component(0), component(1), component(2));
}

void JudgeColourArray(const SettingValue& colour) {
  if (!colour.IsArray()) {
    return;
  }
  const json& numbers = *colour.Json();
  if (numbers.size() < 3) {
    colour.AtValue(Severity::kWarning,
                   fmt::format("a colour of {} number{}: it takes three, [red, green, blue], so "
                               "the reply comes out black",
                               numbers.size(), numbers.size() == 1 ? "" : "s"));
    return;
  }
  const std::vector<SettingValue> elements = colour.Elements();
  std::vector<const SettingValue*> components;
  for (std::size_t index = 0; index < 3; ++index) {
    components.push_back(&elements[index]);
  }
  JudgeColour(colour, components, true);
}

}  // namespace Bellwright
