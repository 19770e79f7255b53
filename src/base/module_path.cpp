#include "base/module_path.hpp"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "base/text.hpp"

namespace Bellwright {

#ifdef _WIN32

FString PluginModulePath() {
  HMODULE module = nullptr;
  // From an address inside this library, without touching its reference count.
  GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCSTR>(&PluginModulePath), &module);
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  return FString(std::u16string(reinterpret_cast<const char16_t*>(path), length));
}

#else

namespace {

FString FindModulePath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&PluginModulePath), &info) == 0 || info.dli_fname == nullptr) {
    return {};
  }
  return FromUtf8(info.dli_fname);
}

}  // namespace

// The library does not move while it is loaded, and every delivery asks for it.
FString PluginModulePath() {
  static const FString path = FindModulePath();
  return path;
}

#endif

}  // namespace Bellwright
