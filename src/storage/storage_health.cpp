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

void StorageHealth::ReportClusterUnusable(const Failure& failure) const {
  Report(Severity::kError, "Storage " + storage_name_ + ": the cluster's tables cannot be used (" +
                               failure.cause +
                               "); this server neither sends nor receives messages for every "
                               "server. Timed-message opt-outs work.");
}

void StorageHealth::ReportDroppedPosts(std::size_t count,
                                       std::chrono::milliseconds lifetime) const {
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(lifetime).count();
  Report(Severity::kError, "Storage " + storage_name_ + ": " + std::to_string(count) +
                               " message(s) for every server could not be stored within " +
                               std::to_string(seconds) +
                               " s and are dropped; the other servers do not get them.");
}

void StorageHealth::ReportSharedServerName(const std::string& name) const {
  Report(Severity::kWarning,
         "Storage " + storage_name_ + ": another server also reports as \"" + name +
             "\" (ServerName). Both deliver every message for every server, but they share "
             "one line among the servers seen and one record of the messages delivered, so a "
             "restart of either may deliver a message again or miss one. Give each server "
             "its own ServerName.");
}

void StorageHealth::ReportPruneRefused(const Failure& failure) const {
  Report(Severity::kWarning, "Storage " + storage_name_ +
                                 ": messages for every server older than an hour cannot "
                                 "be removed (" +
                                 failure.cause +
                                 "); they do no harm, but the table grows. Allow DELETE on "
                                 "bellwright_cluster_messages.");
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
