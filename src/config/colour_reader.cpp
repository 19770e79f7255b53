#include "config/colour_reader.hpp"

#include <fmt/format.h>
#include <fmt/ranges.h>

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

// The one conversion of a configured colour number: a fraction is truncated toward
// zero, a number beyond the 32-bit range counts as 0 (where a plain cast would be
// undefined), and only the low 8 bits count once it becomes a ByteColor.
int ColorComponentFromNumber(double number) {
  const double truncated = std::trunc(number);
  constexpr double kLowest = std::numeric_limits<int>::min();
  constexpr double kHighest = std::numeric_limits<int>::max();
  // NaN fails both comparisons and counts as 0 too.
  return truncated >= kLowest && truncated <= kHighest ? static_cast<int>(truncated) : 0;
}

// As the JSON library reads an integer member: integers keep their low bits; floats
// go through ColorComponentFromNumber; true and false are 1 and 0.
int ColorComponentOf(const json& member) {
  return member.is_number_float() ? ColorComponentFromNumber(member.get<double>())
                                  : member.get<int>();
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

// A colour on the 0-1 scale loses its fractions: name the 0-255 colour meant.
bool JudgeScale(const SettingValue& colour, const std::vector<SettingValue>& components,
                bool is_array) {
  const auto number = [](const SettingValue& component) { return component.Json()->get<double>(); };
  const bool on_the_scale = std::ranges::all_of(components, [&](const SettingValue& component) {
    return number(component) >= 0 && number(component) <= 1;
  });
  const bool any_fraction = std::ranges::any_of(components, [&](const SettingValue& component) {
    return std::trunc(number(component)) != number(component);
  });
  if (!on_the_scale || !any_fraction) {
    return false;
  }
  std::vector<std::string> read;
  std::vector<std::string> meant;
  for (const SettingValue& component : components) {
    const auto whole = static_cast<int>(std::lround(number(component) * 255));
    read.push_back(std::to_string(static_cast<int>(std::trunc(number(component)))));
    meant.push_back(is_array ? std::to_string(whole)
                             : fmt::format("\"{}\": {}", component.Key(), whole));
  }
  colour.AtValue(kWarning,
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
      kWarning,
      beyond ? fmt::format("{} is outside 0-255 and too large to wrap: it reads as 0", value.dump())
             : fmt::format("{} is outside 0-255: only its low 8 bits count, so it reads as {}",
                           value.dump(), read & 0xFF));
}

// One colour whose components are all numbers (other types have their own findings).
void JudgeColour(const SettingValue& colour, const std::vector<SettingValue>& components,
                 bool is_array) {
  if (components.empty() || !std::ranges::all_of(components, &SettingValue::IsNumber) ||
      JudgeScale(colour, components, is_array)) {
    return;
  }
  for (const SettingValue& component : components) {
    JudgeRange(component, is_array);
  }
}

std::vector<SettingValue> PresentComponents(const SettingValue& colour) {
  std::vector<SettingValue> components;
  for (const char* key : kComponentKeys) {
    if (SettingValue component = colour.Member(key); component.Present()) {
      components.push_back(std::move(component));
    }
  }
  return components;
}

// An object colour's components, each judged; one that cannot be read is 0, and
// `unreadable` says whether one was there.
ByteColor ReadComponents(const SettingValue& colour, const WrongType& wrong, bool& unreadable) {
  std::array<int, 3> read{};
  for (std::size_t index = 0; index < kComponentKeys.size(); ++index) {
    const SettingValue component = colour.Member(kComponentKeys[index]);
    if (component.Judge(JsonKind::kComponent, wrong)) {
      read[index] = ColorComponentOf(*component.Json());
    } else {
      unreadable = unreadable || component.Present();
    }
  }
  JudgeColourObject(colour);
  return MakeByteColor(read[0], read[1], read[2]);
}

}  // namespace

std::optional<ByteColor> StrictColour(const SettingValue& colour, const ColourWrongTypes& wrong) {
  if (!colour.Present()) {
    return MakeByteColor(0, 0, 0);
  }
  if (!colour.Judge(JsonKind::kObject, wrong.object)) {
    return std::nullopt;
  }
  bool unreadable = false;
  const ByteColor read = ReadComponents(colour, wrong.component, unreadable);
  return unreadable ? std::nullopt : std::optional(read);
}

ByteColor LenientColour(const SettingValue& colour, ByteColor fallback,
                        const ColourWrongTypes& wrong) {
  if (!colour.Present() || !colour.Judge(JsonKind::kObject, wrong.object)) {
    return fallback;
  }
  // A component that cannot be read is 0: the colour is never left unread.
  bool unreadable = false;
  return ReadComponents(colour, wrong.component, unreadable);
}

void JudgeColourObject(const SettingValue& colour) {
  JudgeColour(colour, PresentComponents(colour), false);
}

void JudgeComponentsGiven(const SettingValue& colour, std::string_view consequence) {
  if (colour.IsObject() && PresentComponents(colour).empty()) {
    colour.AtValue(kWarning,
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
  std::vector<SettingValue> components = colour.Elements();
  if (components.size() < 3) {
    colour.AtValue(kWarning, fmt::format("a colour of {} number{}: it takes three, [red, green, "
                                         "blue], so the reply comes out black",
                                         components.size(), components.size() == 1 ? "" : "s"));
    return;
  }
  components.erase(components.begin() + 3, components.end());
  JudgeColour(colour, components, true);
}

}  // namespace Bellwright
