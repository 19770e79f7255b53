#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "storage/choice_memory.hpp"

namespace Bellwright::Storage {

// What the game thread and the store's worker share; every field under `mutex`, held
// only for work in memory, never across a database call.
struct StoreState {
  std::mutex mutex;
  std::condition_variable work_arrived;  // wakes the worker
  std::condition_variable progress;      // wakes Start and WaitUntilIdle

  ChoiceMemory memory;
  std::vector<std::string> refresh_requests;

  bool stop_requested = false;
  std::chrono::steady_clock::time_point stop_deadline;

  bool first_attempt_done = false;
  bool idle = false;
  bool worker_gone = false;
};

}  // namespace Bellwright::Storage
