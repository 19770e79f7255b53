#pragma once

#include <map>
#include <string>
#include <vector>

#include "host/hooks.hpp"
#include "host_library/plugin_guard.hpp"

namespace Sandbox {

// The game's functions by name, and the host's detour registry over them: a call
// of a game function goes to the detour while one is set, and the detour reaches
// the game's own function through the pointer the host filled in.
class GameFunctions final : public IHooks {
 public:
  void Define(const std::string& name, void* own);

  bool SetHookInternal(const std::string& function_name, void* detour, void** original) override;
  bool DisableHook(const std::string& function_name, void* detour) override;
  using IHooks::DisableHook;

  // Names of the detoured functions, in the order the detours were set.
  [[nodiscard]] const std::vector<std::string>& DetouredNames() const { return detoured_; }
  // Takes every detour away without calling anything; returns their names.
  std::vector<std::string> RemoveAllDetours();

  // Calls the game function as the game does. An exception out of a detour is
  // recorded, never passed on into the game.
  template <typename... Args>
  void Call(const std::string& name, Args... args) {
    const Entry& entry = entries_.at(name);
    if (entry.detour == nullptr) {
      reinterpret_cast<void (*)(Args...)>(entry.own)(args...);
      return;
    }
    auto* const detour = reinterpret_cast<void (*)(Args...)>(entry.detour);
    CallPlugin("hook " + name, [&] { detour(args...); });
  }

 private:
  struct Entry {
    void* own = nullptr;
    void* detour = nullptr;
  };
  std::map<std::string, Entry> entries_;
  std::vector<std::string> detoured_;
};

GameFunctions& TheGameFunctions();

}  // namespace Sandbox
