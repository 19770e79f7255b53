#pragma once

#include <string>
#include <vector>

#include "base/byte_color.hpp"
#include "base/plugin_name.hpp"
#include "config/setting_reader.hpp"

namespace Bellwright::ConfigCheck {
struct TextRule;
}

// What bw.countdown announces. Every read is lenient: a value of the wrong type gives
// its default, so a broken setting never silences a restart warning.
namespace Bellwright {

inline constexpr const char* kDefaultCountdownText = "Server restart in {Minutes} minutes";
inline constexpr int kLongestCountdownStep = 1440;

struct CountdownLook {
  std::string type = "Server";
  ByteColor colour = MakeByteColor(255, 64, 64);
  std::string sender = kPluginName;
  float display_scale = 1.0F;
  float display_time = 10.0F;
  std::string icon;

  friend bool operator==(const CountdownLook&, const CountdownLook&) = default;
};

struct CountdownSettings {
  // Whole minutes from 1 to a day, a fraction dropped, anything else skipped; 15, 10,
  // 5, 3, 2, 1 when the list is absent or not an array.
  std::vector<int> steps = {15, 10, 5, 3, 2, 1};
  std::string text = kDefaultCountdownText;
  // Sent at 0; empty: nothing goes out then.
  std::string final_text;
  CountdownLook look;

  friend bool operator==(const CountdownSettings&, const CountdownSettings&) = default;
};

CountdownSettings ReadCountdownSettings(const SettingValue& document);

// How the announcements' texts are formatted.
const ConfigCheck::TextRule& CountdownTextRule();
const ConfigCheck::TextRule& CountdownFinalTextRule();

}  // namespace Bellwright
