#include "plugin_loader.hpp"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <link.h>
#endif

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <thread>

#include "host_library/commands.hpp"
#include "host_library/events.hpp"
#include "host_library/hooks.hpp"
#include "host_library/loader_lock.hpp"
#include "host_library/log_sink.hpp"
#include "host_library/text.hpp"
#include "host_library/timer.hpp"

namespace Sandbox {

namespace {

void ReportLeftOver(const std::string& what) {
  EmitHostError("unload", what + " was still registered after the plug-in's shut-down; dropped");
}

constexpr std::chrono::seconds kLoaderLockPatience{5};

// Ends the process at once, from a thread other than the one stuck in the loader.
[[noreturn]] void EndStuckProcess() {
  std::cout.flush();
  std::fflush(nullptr);
#ifdef _WIN32
  // ExitProcess would run every library's detach, which needs the loader lock.
  TerminateProcess(GetCurrentProcess(), 1);
#endif
  // The stuck thread holds the dynamic loader's own lock: no orderly exit can run.
  std::_Exit(1);
}

// Runs the opening or closing of the library (`where`: "load" or "unload") under the
// stand-in loader lock. A plug-in that waits there for a thread to start or end waits
// forever, as it would on the real host: after 5 s that is reported and the sandbox
// exits 1 instead of hanging.
template <typename Call>
void UnderLoaderLock(const char* where, Call call) {
  std::mutex mutex;
  std::condition_variable changed;
  bool watching = false;
  bool returned = false;
  std::thread watchdog([&] {
    std::unique_lock lock(mutex);
    watching = true;
    changed.notify_all();
    if (changed.wait_for(lock, kLoaderLockPatience, [&] { return returned; })) {
      return;
    }
    EmitHostError(where, std::string("the plug-in's ") + where +
                             " did not return within 5 s: it waits for a thread, which cannot "
                             "start or end while the loader lock is held");
    EndStuckProcess();
  });
  {
    // The watchdog passes the loader lock at its start; it must be past it first.
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return watching; });
  }
  HoldLoaderLock();
  call();
  ReleaseLoaderLock();
  {
    const std::lock_guard lock(mutex);
    returned = true;
  }
  changed.notify_all();
  watchdog.join();
}

}  // namespace

PluginLoader::~PluginLoader() {
  if (IsLoaded()) {
    Unload();
  }
}

#ifdef _WIN32

namespace {

std::wstring WidePath(const std::string& utf8) {
  const std::u16string wide = FromUtf8(utf8).Wide();
  return {wide.begin(), wide.end()};
}

std::string SystemMessage(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::u16string message(reinterpret_cast<const char16_t*>(text), length);
  LocalFree(text);
  while (!message.empty() && (message.back() == u'\n' || message.back() == u'\r')) {
    message.pop_back();
  }
  return ToUtf8(FString(std::move(message)));
}

}  // namespace

// LoadLibraryW and FreeLibrary hold Windows' own loader lock while the plug-in starts
// and stops, so nothing stands in for it here.
std::string PluginLoader::Load(const std::string& path) {
  if (IsLoaded()) {
    return "the plug-in is already loaded";
  }
  DWORD error = 0;
  UnderLoaderLock("load", [&] {
    handle_ = LoadLibraryW(WidePath(path).c_str());
    error = GetLastError();
  });
  if (handle_ == nullptr) {
    return "cannot open " + path + ": " + SystemMessage(error);
  }
  path_ = path;
  return {};
}

// The tasks' code lives in the library, so they are destroyed while it is mapped.
// The plug-in names itself by the file name the loader knows it by.
void PluginLoader::DropWaitingTasks() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(static_cast<HMODULE>(handle_), name.data(),
                                            static_cast<DWORD>(name.size()));
    if (length == 0) {
      return;
    }
    if (length < name.size()) {
      name.resize(length);
      break;
    }
    name.resize(name.size() * 2);
  }
  TheDelayedTasks().DropModule(FString(std::u16string(name.begin(), name.end())));
}

void PluginLoader::Close() {
  UnderLoaderLock("unload", [&] { FreeLibrary(static_cast<HMODULE>(handle_)); });
  handle_ = nullptr;
  if (GetModuleHandleW(WidePath(path_).c_str()) != nullptr) {
    EmitHostError("unload", "the plug-in library stayed in memory after it was closed");
  }
}

#else

std::string PluginLoader::Load(const std::string& path) {
  if (IsLoaded()) {
    return "the plug-in is already loaded";
  }
  UnderLoaderLock("load", [&] { handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); });
  if (handle_ == nullptr) {
    const char* const error = dlerror();
    return error != nullptr ? error : "cannot open " + path;
  }
  path_ = path;
  return {};
}

// The tasks' code lives in the library, so they are destroyed while it is mapped.
// The plug-in names itself by the file name the loader knows it by.
void PluginLoader::DropWaitingTasks() {
  link_map* map = nullptr;
  if (dlinfo(handle_, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr || map->l_name == nullptr) {
    return;
  }
  const std::string name = map->l_name;
  TheDelayedTasks().DropModule(FromUtf8(name));
  TheDelayedTasks().DropModule(FString(std::string_view(name)));
}

void PluginLoader::Close() {
  UnderLoaderLock("unload", [&] { dlclose(handle_); });
  handle_ = nullptr;
  if (void* const resident = dlopen(path_.c_str(), RTLD_NOW | RTLD_NOLOAD)) {
    dlclose(resident);
    EmitHostError("unload", "the plug-in library stayed in memory after it was closed");
  }
}

#endif

void PluginLoader::Unload() {
  if (!IsLoaded()) {
    return;
  }
  DropWaitingTasks();
  Close();
  // From here on nothing the plug-in registered may be called or destroyed.
  for (const std::string& command : TheCommandRegistry().AbandonAll()) {
    ReportLeftOver(command);
  }
  for (const std::string& hook : TheGameFunctions().RemoveAllDetours()) {
    ReportLeftOver("the hook of " + hook);
  }
  if (const int tasks = TheDelayedTasks().Abandon(); tasks > 0) {
    ReportLeftOver(std::to_string(tasks) + " delayed task(s)");
  }
  ResetLogFormatters();
}

}  // namespace Sandbox
