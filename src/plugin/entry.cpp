// The library's entry point: the host loads the plug-in by opening the library and
// unloads it by closing it, so start-up and shut-down hang on those two events.
#include "plugin/load.hpp"

#ifdef _WIN32
#include <windows.h>

BOOL APIENTRY DllMain(HMODULE /*module*/, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) {
    Bellwright::Load();
  } else if (reason == DLL_PROCESS_DETACH) {
    Bellwright::Unload();
  }
  return TRUE;
}

#else

namespace {

[[gnu::constructor]] void OnLibraryOpened() {
  Bellwright::Load();
}
[[gnu::destructor]] void OnLibraryClosed() {
  Bellwright::Unload();
}

}  // namespace

#endif
