#include "base/schedule_fields.hpp"

#include <array>
#include <cmath>

#include "base/unicode.hpp"

namespace Bellwright {
namespace {

std::optional<int> TwoDigits(char tens, char ones) {
  if (tens < '0' || tens > '9' || ones < '0' || ones > '9') {
    return std::nullopt;
  }
  return (tens - '0') * 10 + (ones - '0');
}

}  // namespace

std::string AnnouncementNameKey(std::string_view name) {
  return Unicode::CaseFoldedUtf8(Unicode::Utf8ToUtf16(name));
}

NameRefusal RefuseAnnouncementName(std::string_view name) {
  for (std::size_t at = 0; at < name.size(); ++at) {
    const auto byte = static_cast<unsigned char>(name[at]);
    // U+0080 to U+009F are 0xC2 0x80 to 0xC2 0x9F in UTF-8.
    const bool c1 = byte == 0xC2 && at + 1 < name.size() &&
                    static_cast<unsigned char>(name[at + 1]) <= 0x9F &&
                    static_cast<unsigned char>(name[at + 1]) >= 0x80;
    if (byte < 0x20 || byte == 0x7F || c1) {
      return NameRefusal::kControlCharacter;
    }
  }
  const std::string key = AnnouncementNameKey(name);
  for (const std::string_view reserved : {kTimedName, kAllName, kWelcomeName, kFirstJoinName}) {
    if (key == reserved) {
      return NameRefusal::kReserved;
    }
  }
  return NameRefusal::kNone;
}

std::optional<int> MinuteOfDayFromText(std::string_view text) {
  if (text.size() != 5 || text[2] != ':') {
    return std::nullopt;
  }
  const auto hours = TwoDigits(text[0], text[1]);
  const auto minutes = TwoDigits(text[3], text[4]);
  if (!hours || !minutes || *hours > 23 || *minutes > 59) {
    return std::nullopt;
  }
  return *hours * 60 + *minutes;
}

std::optional<int> WeekdayFromName(std::string_view name) {
  static constexpr std::array<std::string_view, 7> kNames = {"Mon", "Tue", "Wed", "Thu",
                                                             "Fri", "Sat", "Sun"};
  for (std::size_t day = 0; day < kNames.size(); ++day) {
    if (kNames[day] == name) {
      return static_cast<int>(day);
    }
  }
  return std::nullopt;
}

std::optional<int> StepMinutesFromNumber(double number) {
  if (!std::isfinite(number) || number < 0 || number > kLongestStepMinutes ||
      std::trunc(number) != number) {
    return std::nullopt;
  }
  return static_cast<int>(number);
}

}  // namespace Bellwright
