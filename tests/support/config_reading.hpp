#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "config/config_text.hpp"
#include "config/setting_reader.hpp"
#include "config_checks/json_text/findings.hpp"
#include "config_checks/json_text/position_index.hpp"

namespace Bellwright {

// What the plug-in takes from a document, read as a file that holds it.
inline ConfigSettings SettingsOf(const nlohmann::json& document) {
  return ReadConfigText(document.dump()).settings;
}

// A value read with the section readers' toolkit, as if it were a whole file; its
// findings are kept apart.
class ReadingOf {
 public:
  explicit ReadingOf(nlohmann::json value)
      : value_(std::move(value)),
        text_(value_.dump()),
        index_(text_, ConfigCheck::kMaxDepth),
        findings_(index_) {}
  ReadingOf(const ReadingOf&) = delete;
  ReadingOf& operator=(const ReadingOf&) = delete;

  [[nodiscard]] SettingValue Value() { return {&value_, "", findings_}; }
  [[nodiscard]] SettingValue Member(std::string_view key) { return Value().Member(key); }
  // What the reads so far found, in the order of the file.
  [[nodiscard]] std::vector<ConfigCheck::Finding> TakeFindings() {
    return findings_.TakeInFileOrder();
  }

 private:
  nlohmann::json value_;
  std::string text_;
  ConfigCheck::PositionIndex index_;
  ConfigCheck::Findings findings_;
};

}  // namespace Bellwright
