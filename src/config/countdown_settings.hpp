#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "base/byte_color.hpp"
#include "config/config.hpp"

// "Countdown": what bw.countdown announces, read at the moment of use. Every read is
// lenient: a value of the wrong type gives its default, so a broken setting never
// silences a restart warning.
namespace Bellwright {

inline constexpr const char* kDefaultCountdownText = "Server restart in {Minutes} minutes";
inline constexpr int kLongestCountdownStep = 1440;

struct CountdownLook {
  std::string type = "Server";                    // "MessageType"
  ByteColor colour = MakeByteColor(255, 64, 64);  // "MessageColour"
  std::string sender = "Bellwright";              // "Sender"
  float display_scale = 1.0F;                     // "DisplayScale"
  float display_time = 10.0F;                     // "DisplayTime"
  std::string icon;                               // "Icon_BP"
};

// The section. Lives no longer than the document it reads.
class CountdownSection {
 public:
  explicit CountdownSection(const nlohmann::json& document = ConfigDocument());

  // "Steps": whole minutes from 1 to a day, a fraction dropped, anything else skipped;
  // 15, 10, 5, 3, 2, 1 when the list is absent or not an array.
  [[nodiscard]] std::vector<int> Steps() const;
  // "MessageToSend".
  [[nodiscard]] std::string Text() const;
  // "FinalMessage": empty when nothing goes out at 0.
  [[nodiscard]] std::string FinalText() const;
  [[nodiscard]] CountdownLook Look() const;

 private:
  const nlohmann::json& countdown_;
};

}  // namespace Bellwright
