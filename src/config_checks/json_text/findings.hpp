#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "config_checks/json_text/finding.hpp"
#include "config_checks/json_text/position_index.hpp"

namespace Bellwright::ConfigCheck {

// Collects the findings of one text and places each in the file. Only the first
// kMostFindings in file order are kept; the others are counted. A file with a million
// unknown keys costs the time of its first findings, and its reader the lines.
class Findings {
 public:
  // Makes a message only for a finding that is kept.
  using Message = std::function<std::string()>;

  explicit Findings(const PositionIndex& index) : index_(index) {}

  // At the value (for a missing key: pass the enclosing object's pointer).
  void AtValue(Severity severity, std::string pointer, std::string message);
  // At the member's key; at the value for an array element.
  void AtKey(Severity severity, std::string pointer, std::string message);
  void AtKey(Severity severity, std::string pointer, const Message& message);
  // At byte `decoded_offset` of the decoded text of the string at `pointer`.
  void AtTextByte(Severity severity, std::string pointer, std::size_t decoded_offset,
                  std::string message);
  void AtOffset(Severity severity, std::string pointer, std::size_t offset, std::string message);

  [[nodiscard]] const PositionIndex& Index() const { return index_; }
  // Whether any error, kept or not, was found at `pointer`.
  [[nodiscard]] bool HasErrorAt(std::string_view pointer) const {
    return error_pointers_.contains(pointer);
  }

  // The first error in file order at `pointer` is kept apart, whether or not it is
  // among the first findings: ask before any finding is added.
  void Watch(std::string pointer) { watched_pointer_ = std::move(pointer); }
  [[nodiscard]] const std::optional<std::string>& Watched() const { return watched_pointer_; }
  [[nodiscard]] const std::optional<Finding>& WatchedError() const { return watched_error_; }

  // In the order of their place in the file; findings at one place keep their order.
  std::vector<Finding> TakeInFileOrder();
  // Findings past the first kMostFindings.
  [[nodiscard]] std::size_t Omitted() const { return omitted_; }

 private:
  struct Placed {
    std::size_t offset = 0;
    std::size_t sequence = 0;  // keeps the order of findings at one place
    Finding finding;
  };

  [[nodiscard]] std::size_t KeyOffset(const std::string& pointer) const;
  // Whether a finding at `offset` is among the first so far; makes room for it.
  bool MakeRoomFor(std::size_t offset);
  void Place(std::size_t offset, Finding finding);

  const PositionIndex& index_;
  std::vector<Placed> placed_;  // a heap: the last in file order on top
  std::size_t sequence_ = 0;
  std::size_t omitted_ = 0;
  std::set<std::string, std::less<>> error_pointers_;
  std::optional<std::string> watched_pointer_;
  std::optional<Finding> watched_error_;
  std::size_t watched_offset_ = 0;
};

}  // namespace Bellwright::ConfigCheck
