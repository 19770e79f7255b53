#include "storage/storage_health.hpp"

#include <utility>

#include "storage/stored_choice.hpp"

namespace Bellwright::Storage {

StorageHealth::StorageHealth(std::string storage_name, Reporter reporter)
    : storage_name_(std::move(storage_name)), reporter_(std::move(reporter)) {}

void StorageHealth::Failed(const Failure& failure) {
  last_cause_ = failure.cause;
  if (failing_) return;
  failing_ = true;
  Report(Severity::kError,
         "Storage " + storage_name_ + " does not work: " + failure.cause +
             ". Timed-message opt-outs are kept in memory and written when it works again.");
}

void StorageHealth::Worked() {
  if (!failing_) return;
  failing_ = false;
  Report(Severity::kInfo, "Storage " + storage_name_ + " works again.");
}

void StorageHealth::ReportUnstorableKey() const {
  Report(Severity::kWarning, "Storage " + storage_name_ + ": a player id longer than " +
                                 std::to_string(kMaxStoredKeyBytes) +
                                 " bytes cannot be stored; that player's timed-message opt-out "
                                 "lasts until they leave or the plug-in stops.");
}

void StorageHealth::ReportRemade() const {
  Report(Severity::kWarning,
         "Storage " + storage_name_ +
             " was deleted or replaced while in use; it is made again and "
             "the timed-message opt-outs of the players here are written to it.");
}

void StorageHealth::ReportGreetedPlayersUnusable(const Failure& failure) const {
  Report(Severity::kWarning, "Storage " + storage_name_ +
                                 ": the table of greeted players cannot be used (" + failure.cause +
                                 "); timed-message opt-outs work, and nobody gets the "
                                 "FirstJoinMessage.");
}

void StorageHealth::Report(Severity severity, const std::string& line) const {
  if (!reporter_) return;
  try {
    reporter_(severity, line);
  } catch (...) {
    // A failing log sink must not take the storage down with it.
  }
}

}  // namespace Bellwright::Storage
