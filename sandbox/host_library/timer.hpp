#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "host/timer.hpp"

namespace Sandbox {

// The host timer: tasks wait until their due time, then run once on the game
// thread, in the order they were scheduled.
class DelayedTasks final : public API::Timer {
 public:
  void DelayExecuteInternal(const std::function<void()>& callback, int delay_seconds,
                            const FString& task_name, const FString& module_path) override;

  // Runs every task that is due now, including tasks scheduled by them that are
  // already due.
  void RunDue();
  // Destroys the waiting tasks of one plug-in while its code is still mapped.
  // Returns how many there were.
  int DropModule(const FString& module_path);
  // Forgets every waiting task without destroying it (its code may be gone).
  // Returns how many there were.
  int Abandon();
  [[nodiscard]] int Waiting() const { return static_cast<int>(waiting_.size()); }

 private:
  struct Task {
    std::int64_t due_seconds = 0;
    std::function<void()> callback;
    FString name;
    FString module_path;
  };
  std::vector<std::unique_ptr<Task>> waiting_;
};

DelayedTasks& TheDelayedTasks();

}  // namespace Sandbox
