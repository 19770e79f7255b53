#include "commands/trailing_numbers.hpp"

#include <stdexcept>

#include "commands/numeric_text.hpp"

namespace Bellwright {
namespace {

constexpr int kNotificationRunLength = 6;

NotificationNumbers ConvertNotificationRun(const CommandLine& line) {
  NotificationNumbers numbers;
  numbers.display_scale = TextToFloat(line.TokenFromEnd(6));
  numbers.display_time = TextToFloat(line.TokenFromEnd(5));
  const int red = TextToInt(line.TokenFromEnd(4));
  const int green = TextToInt(line.TokenFromEnd(3));
  const int blue = TextToInt(line.TokenFromEnd(2));
  numbers.color = MakeByteColor(red, green, blue);
  return numbers;
}

}  // namespace

std::optional<ByteColor> GivenColor(const CommandLine& line) {
  for (int offset = 1; offset <= 3; ++offset) {
    if (!IsNumericText(line.TokenFromEnd(offset))) {
      return std::nullopt;
    }
  }
  const int red = TextToInt(line.TokenFromEnd(3));
  const int green = TextToInt(line.TokenFromEnd(2));
  const int blue = TextToInt(line.TokenFromEnd(1));
  return MakeByteColor(red, green, blue);
}

std::optional<NotificationNumbers> GivenNotificationNumbersTested(const CommandLine& line) {
  if (line.TokenCount() < kNotificationRunLength || !IsNumericText(line.TokenFromEnd(6)) ||
      !IsNumericText(line.TokenFromEnd(2))) {
    return std::nullopt;
  }
  return ConvertNotificationRun(line);
}

std::optional<NotificationNumbers> GivenNotificationNumbersUntested(const CommandLine& line) {
  if (line.TokenCount() < kNotificationRunLength) {
    return std::nullopt;
  }
  try {
    return ConvertNotificationRun(line);
  } catch (const std::logic_error&) {
    return std::nullopt;
  }
}

}  // namespace Bellwright
