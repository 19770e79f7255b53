#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include "storage/expected.hpp"
#include "storage/report.hpp"

namespace Bellwright::Storage {

// Tells the administrator when the storage stops working and when it works again: one
// line each, however many retries lie between.
class StorageHealth {
 public:
  StorageHealth(std::string storage_name, Reporter reporter);

  void Failed(const Failure& failure);
  void Worked();
  void ReportUnstorableKey() const;
  void ReportRemade() const;
  void ReportGreetedPlayersUnusable(const Failure& failure) const;
  void ReportClusterUnusable(const Failure& failure) const;
  void ReportDroppedPosts(std::size_t count, std::chrono::milliseconds lifetime) const;
  void ReportSharedServerName(const std::string& name) const;
  void ReportPruneRefused(const Failure& failure) const;
  // Why the last attempt failed; empty before any failure.
  const std::string& LastCause() const noexcept { return last_cause_; }

 private:
  void Report(Severity severity, const std::string& line) const;

  std::string storage_name_;
  Reporter reporter_;
  bool failing_ = false;
  std::string last_cause_;
};

}  // namespace Bellwright::Storage
