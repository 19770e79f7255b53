#include "opt_out/storage_frames.hpp"

#include <cstdint>

#include "base/host_boundary.hpp"
#include "base/module_path.hpp"
#include "host/fstring.hpp"
#include "host/timer.hpp"
#include "opt_out/opt_out_storage.hpp"

namespace Bellwright {
namespace {

// Frames asked for before the last stop belong to an earlier start. Constant-initialised,
// so they exist before the library's start-up runs Load.
constinit std::uint64_t frames_generation = 0;
constinit bool frame_asked = false;

class StorageFrame {
 public:
  StorageFrame() : generation_(frames_generation) {}

  void operator()() const {
    RunGuarded("StorageFrame", [this] { Run(); });
  }

 private:
  void Run() const {
    if (generation_ != frames_generation) {
      return;
    }
    frame_asked = false;
    DriveOptOutStorage();
  }

  std::uint64_t generation_;
};

}  // namespace

void DriveStorageAtNextFrame() {
  if (frame_asked) {
    return;
  }
  // The host runs a task without delay at its next frame, and drops the plug-in's tasks,
  // this one included, by the module path when it unloads the plug-in.
  const FString module_path = PluginModulePath();
  FString task_name = module_path;
  task_name += FString("_storage");
  API::Timer::Get().DelayExecuteInternal(StorageFrame(), 0, task_name, module_path);
  frame_asked = true;
}

void StopStorageFrames() {
  ++frames_generation;
  frame_asked = false;
}

}  // namespace Bellwright
