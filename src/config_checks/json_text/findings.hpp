#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "config_checks/json_text/finding.hpp"
#include "config_checks/json_text/position_index.hpp"

namespace Bellwright::ConfigCheck {

// Collects the findings of one text and places each in the file.
class Findings {
 public:
  explicit Findings(const PositionIndex& index) : index_(index) {}

  // At the value (for a missing key: pass the enclosing object's pointer).
  void AtValue(Severity severity, std::string pointer, std::string message);
  // At the member's key; at the value for an array element.
  void AtKey(Severity severity, std::string pointer, std::string message);
  // At byte `decoded_offset` of the decoded text of the string at `pointer`.
  void AtTextByte(Severity severity, std::string pointer, std::size_t decoded_offset,
                  std::string message);
  void AtOffset(Severity severity, std::string pointer, std::size_t offset, std::string message);

  [[nodiscard]] const PositionIndex& Index() const { return index_; }
  [[nodiscard]] bool HasErrorAt(std::string_view pointer) const;

  // In the order of their place in the file; findings at one place keep their order.
  std::vector<Finding> TakeInFileOrder();

 private:
  struct Placed {
    std::size_t offset = 0;
    Finding finding;
  };

  const PositionIndex& index_;
  std::vector<Placed> placed_;
};

}  // namespace Bellwright::ConfigCheck
