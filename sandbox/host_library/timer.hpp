#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "host/timer.hpp"

namespace Sandbox {

// The host timer: tasks wait until their due second, then run once on the game thread,
// at a game frame, in the order they were scheduled.
class DelayedTasks final : public API::Timer {
 public:
  void DelayExecuteInternal(const std::function<void()>& callback, int delay_seconds,
                            const FString& task_name, const FString& module_path) override;

  // One game frame: runs the tasks that are due and were waiting when the frame began.
  // A task scheduled meanwhile, even with a delay of 0, waits for the next frame, as
  // on the real host. Returns how many ran.
  int RunFrame();
  // Whether the next frame would run a task (one of delay 0 waits for it, say).
  [[nodiscard]] bool HasDue() const;
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
    std::uint64_t scheduled = 0;  // the order of scheduling
    std::function<void()> callback;
    FString name;
    FString module_path;
  };
  std::vector<std::unique_ptr<Task>> waiting_;
  std::uint64_t scheduled_ = 0;
};

DelayedTasks& TheDelayedTasks();

}  // namespace Sandbox
