#include "commands/trailing_numbers.hpp"

#include <optional>

#include "commands/numbers.hpp"

namespace Bellwright {
namespace {

constexpr int kNotificationRunLength = 6;

std::optional<ByteColor> ConvertColor(const FString& red, const FString& green,
                                      const FString& blue) {
  const auto r = TextToInt(red);
  const auto g = TextToInt(green);
  const auto b = TextToInt(blue);
  if (!r || !g || !b) {
    return std::nullopt;
  }
  return MakeByteColor(*r, *g, *b);
}

std::optional<NotificationNumbers> ConvertNotificationRun(const CommandLine& line) {
  const auto scale = TextToFloat(line.TokenFromEnd(6));
  const auto time = TextToFloat(line.TokenFromEnd(5));
  const auto color = ConvertColor(line.TokenFromEnd(4), line.TokenFromEnd(3), line.TokenFromEnd(2));
  if (!scale || !time || !color) {
    return std::nullopt;
  }
  return NotificationNumbers{*scale, *time, *color};
}

template <typename Numbers>
TrailingNumbers<Numbers> GivenOrUnconvertible(const std::optional<Numbers>& converted) {
  using Outcome = typename TrailingNumbers<Numbers>::Outcome;
  if (!converted) {
    return {Outcome::kUnconvertible, {}};
  }
  return {Outcome::kGiven, *converted};
}

}  // namespace

TrailingNumbers<ByteColor> GivenColor(const CommandLine& line) {
  for (int offset = 1; offset <= 3; ++offset) {
    if (!IsNumericText(line.TokenFromEnd(offset))) {
      return {};
    }
  }
  return GivenOrUnconvertible(
      ConvertColor(line.TokenFromEnd(3), line.TokenFromEnd(2), line.TokenFromEnd(1)));
}

TrailingNumbers<NotificationNumbers> GivenNotificationNumbersTested(const CommandLine& line) {
  if (line.TokenCount() < kNotificationRunLength || !IsNumericText(line.TokenFromEnd(6)) ||
      !IsNumericText(line.TokenFromEnd(2))) {
    return {};
  }
  return GivenOrUnconvertible(ConvertNotificationRun(line));
}

TrailingNumbers<NotificationNumbers> GivenNotificationNumbersUntested(const CommandLine& line) {
  if (line.TokenCount() < kNotificationRunLength) {
    return {};
  }
  const auto converted = ConvertNotificationRun(line);
  if (!converted) {
    return {};
  }
  return {TrailingNumbers<NotificationNumbers>::Outcome::kGiven, *converted};
}

}  // namespace Bellwright
