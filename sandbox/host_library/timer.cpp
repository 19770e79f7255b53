#include "host_library/timer.hpp"

#include <algorithm>

#include "host_library/clock.hpp"
#include "host_library/plugin_guard.hpp"

// Anchors the interface's type information in the host library.
API::Timer::~Timer() = default;

namespace Sandbox {

void DelayedTasks::DelayExecuteInternal(const std::function<void()>& callback, int delay_seconds,
                                        const FString& task_name, const FString& module_path) {
  auto task = std::make_unique<Task>();
  task->due_seconds = TheClock().ElapsedSeconds() + std::max(delay_seconds, 0);
  task->scheduled = scheduled_++;
  task->callback = callback;
  task->name = task_name;
  task->module_path = module_path;
  waiting_.push_back(std::move(task));
}

int DelayedTasks::RunFrame() {
  const std::uint64_t frame_began = scheduled_;
  int ran = 0;
  for (;;) {
    const std::int64_t now = TheClock().ElapsedSeconds();
    const auto due = std::find_if(waiting_.begin(), waiting_.end(), [&](const auto& task) {
      return task->due_seconds <= now && task->scheduled < frame_began;
    });
    if (due == waiting_.end()) {
      return ran;
    }
    // Out of the list before it runs, so the task may schedule more tasks.
    const std::unique_ptr<Task> task = std::move(*due);
    waiting_.erase(due);
    ++ran;
    if (task->callback) {
      CallPlugin("delayed task", [&] { task->callback(); });
    }
  }
}

bool DelayedTasks::HasDue() const {
  const std::int64_t now = TheClock().ElapsedSeconds();
  return std::any_of(waiting_.begin(), waiting_.end(),
                     [now](const auto& task) { return task->due_seconds <= now; });
}

int DelayedTasks::DropModule(const FString& module_path) {
  return static_cast<int>(std::erase_if(
      waiting_, [&](const auto& task) { return task->module_path.EqualsExactly(module_path); }));
}

int DelayedTasks::Abandon() {
  static auto* const abandoned = new std::vector<Task*>();
  const int count = static_cast<int>(waiting_.size());
  for (auto& task : waiting_) {
    abandoned->push_back(task.release());
  }
  waiting_.clear();
  return count;
}

DelayedTasks& TheDelayedTasks() {
  static DelayedTasks tasks;
  return tasks;
}

}  // namespace Sandbox

API::Timer& API::Timer::Get() {
  return Sandbox::TheDelayedTasks();
}
