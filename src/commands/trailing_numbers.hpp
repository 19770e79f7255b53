#pragma once

#include "base/byte_color.hpp"
#include "commands/command_line.hpp"

namespace Bellwright {

// The five numbers of a notification: scale, time, red, green, blue, in the five
// tokens before the last (the last one is the icon).
struct NotificationNumbers {
  float display_scale = 0.0F;
  float display_time = 0.0F;
  ByteColor color = MakeByteColor(0, 0, 0);
};

// What the end of a command line gives.
template <typename Numbers>
struct TrailingNumbers {
  enum class Outcome {
    kNotGiven,       // the configured values stand in
    kGiven,          // `numbers` holds them
    kUnconvertible,  // they passed the numeric test but one does not convert
  };
  Outcome outcome = Outcome::kNotGiven;
  Numbers numbers{};
};

// Red, green and blue from the last three tokens, when each passes IsNumericText
// (tested from the last token backwards, so the command word, never numeric, keeps
// the test inside the line).
TrailingNumbers<ByteColor> GivenColor(const CommandLine& line);

// The console's rule: taken when the two ends of the run pass IsNumericText; the
// three between are not tested, so a bad one is unconvertible.
TrailingNumbers<NotificationNumbers> GivenNotificationNumbersTested(const CommandLine& line);

// The RCON rule: no test; a run that does not convert, or a line too short to hold
// one, counts as not given.
TrailingNumbers<NotificationNumbers> GivenNotificationNumbersUntested(const CommandLine& line);

}  // namespace Bellwright
