#pragma once

#include <chrono>
#include <cstddef>

namespace Bellwright::Storage {

// How the store paces its work. Every wait here is a deadline the store checks when it
// is next driven, never time spent blocked.
struct StoreOptions {
  // How often a storage that does not work is tried again.
  std::chrono::milliseconds retry_interval{5000};
  // How long another connection may hold the SQLite file's lock before that is reported;
  // meanwhile the work is tried again at every turn.
  std::chrono::milliseconds sqlite_lock_patience{1000};
  // How long a MySQL server may take to be found, connected and logged into.
  std::chrono::milliseconds mysql_connect{5000};
  // How long a MySQL server may take to answer one statement.
  std::chrono::milliseconds mysql_answer{10000};
  // Choices written, or players asked about, in one statement at most.
  std::size_t max_batch = 500;
  // How long one turn may keep working while the database has answers ready.
  std::chrono::microseconds turn_budget{1500};
};

}  // namespace Bellwright::Storage
