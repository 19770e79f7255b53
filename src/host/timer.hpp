#pragma once

#include <functional>

#include "host/fstring.hpp"
#include "host/host_api.hpp"

namespace API {

class HOST_API Timer {
 public:
  static Timer& Get();

  // Runs `callback` once, on the game thread, `delay_seconds` whole seconds from now.
  // The host drops a plug-in's waiting tasks (by module path) when it unloads it.
  virtual void DelayExecuteInternal(const std::function<void()>& callback, int delay_seconds,
                                    const FString& task_name, const FString& module_path) = 0;

 protected:
  Timer() = default;
  virtual ~Timer();
};

}  // namespace API
