#include "host_library/hooks.hpp"

#include <algorithm>

#include "host/asa_api.hpp"
#include "host/hooks.hpp"
#include "host_library/world.hpp"

// Anchors the interface's type information in the host library.
IHooks::~IHooks() = default;

namespace Sandbox {

void GameFunctions::Define(const std::string& name, void* own) {
  entries_[name].own = own;
}

bool GameFunctions::SetHookInternal(const std::string& function_name, void* detour,
                                    void** original) {
  const auto found = entries_.find(function_name);
  // One detour per function: a second one would silently bypass the first.
  if (found == entries_.end() || detour == nullptr || original == nullptr ||
      found->second.detour != nullptr) {
    return false;
  }
  found->second.detour = detour;
  *original = found->second.own;
  detoured_.push_back(function_name);
  return true;
}

bool GameFunctions::DisableHook(const std::string& function_name, void* detour) {
  const auto found = entries_.find(function_name);
  if (found == entries_.end() || detour == nullptr || found->second.detour != detour) {
    return false;
  }
  found->second.detour = nullptr;
  std::erase(detoured_, function_name);
  return true;
}

std::vector<std::string> GameFunctions::RemoveAllDetours() {
  for (auto& [name, entry] : entries_) {
    entry.detour = nullptr;
  }
  return std::exchange(detoured_, {});
}

GameFunctions& TheGameFunctions() {
  static GameFunctions functions;
  static const bool defined = [] {
    DefineGameOwnFunctions(functions);
    return true;
  }();
  (void)defined;
  return functions;
}

}  // namespace Sandbox

IHooks& AsaApi::GetHooks() {
  return Sandbox::TheGameFunctions();
}
