#pragma once

#include <optional>

#include "commands/command_line.hpp"
#include "delivery/byte_color.hpp"

namespace Bellwright {

// Red, green and blue from the last three tokens, when each passes IsNumericText
// (tested from the last token backwards, so the command word, never numeric, keeps
// the test inside the line). Empty when they are not given. Throws what the number
// conversions throw when a token passes the test but does not convert.
std::optional<ByteColor> GivenColor(const CommandLine& line);

// The five numbers of a notification: scale, time, red, green, blue, in the five
// tokens before the last (the last one is the icon).
struct NotificationNumbers {
  float display_scale = 0.0F;
  float display_time = 0.0F;
  ByteColor color;
};

// The console's rule: taken when the two ends of the run pass IsNumericText; the
// three between are not tested, so a bad one throws from its conversion.
std::optional<NotificationNumbers> GivenNotificationNumbersTested(const CommandLine& line);

// The RCON rule: no test; a run that does not convert, or a line too short to hold
// one, counts as not given.
std::optional<NotificationNumbers> GivenNotificationNumbersUntested(const CommandLine& line);

}  // namespace Bellwright
