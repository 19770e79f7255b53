#pragma once

#include <string>

#include "host/host_api.hpp"

// The host's detour registry. Game functions are named "Class.Function(Args)".
class HOST_API IHooks {
 public:
  virtual ~IHooks();

  virtual bool DisableHook(const std::string& function_name, void* detour) = 0;
  // Routes the game's calls of `function_name` to `detour` and stores in `original`
  // the way to call the game's own function.
  virtual bool SetHookInternal(const std::string& function_name, void* detour, void** original) = 0;

  template <typename Function>
  bool SetHook(const std::string& function_name, Function* detour, Function** original) {
    return SetHookInternal(function_name, reinterpret_cast<void*>(detour),
                           reinterpret_cast<void**>(original));
  }
  template <typename Function>
  bool DisableHook(const std::string& function_name, Function* detour) {
    return DisableHook(function_name, reinterpret_cast<void*>(detour));
  }
};
