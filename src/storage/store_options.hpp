#pragma once

#include <chrono>
#include <cstddef>

#include "storage/database_timeouts.hpp"

namespace Bellwright::Storage {

struct StoreOptions {
  // How long Start waits for the stored choices; the read goes on in the background.
  std::chrono::milliseconds initial_read_budget{2000};
  // How often a storage that does not work is tried again.
  std::chrono::milliseconds retry_interval{5000};
  // How long Stop keeps trying to write what is queued.
  std::chrono::milliseconds stop_budget{3000};
  // Choices written in one transaction at most; the rest follow in the next.
  std::size_t max_batch = 500;
  DatabaseTimeouts timeouts;
};

}  // namespace Bellwright::Storage
