#include "disk_flushes.hpp"

#include <dlfcn.h>

#include <atomic>

namespace {

std::atomic<long> flushes{0};

template <typename Function>
Function* Real(const char* name) {
  return reinterpret_cast<Function*>(dlsym(RTLD_NEXT, name));
}

}  // namespace

long DiskFlushes() {
  return flushes.load();
}

// NOLINTBEGIN(readability-identifier-naming): the C library's names
extern "C" int fsync(int descriptor) {
  static auto* const real = Real<int(int)>("fsync");
  ++flushes;
  return real(descriptor);
}

extern "C" int fdatasync(int descriptor) {
  static auto* const real = Real<int(int)>("fdatasync");
  ++flushes;
  return real(descriptor);
}
// NOLINTEND(readability-identifier-naming)
