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

bool SameAnnouncementName(std::string_view typed, std::string_view name) {
  return AnnouncementNameKey(typed) == AnnouncementNameKey(name);
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
