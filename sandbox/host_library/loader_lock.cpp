#include "host_library/loader_lock.hpp"

#ifdef _WIN32

namespace Sandbox {

// Windows holds its own loader lock while a library's process attach and detach run
// (LoadLibraryW and FreeLibrary), and every thread's start and end waits for it, so
// the sandbox need not stand in for it: the real rule applies.
void HoldLoaderLock() {}
void ReleaseLoaderLock() {}

}  // namespace Sandbox

#else

#include <dlfcn.h>
#include <pthread.h>

#include <memory>

namespace Sandbox {
namespace {

pthread_mutex_t loader_lock = PTHREAD_MUTEX_INITIALIZER;

void PassLoaderLock() {
  pthread_mutex_lock(&loader_lock);
  pthread_mutex_unlock(&loader_lock);
}

struct ThreadStart {
  void* (*routine)(void*);
  void* argument;
};

void* RunUnderLoaderRule(void* raw) {
  const std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(raw));
  PassLoaderLock();
  void* const result = start->routine(start->argument);
  PassLoaderLock();
  return result;
}

using CreateFunction = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);

}  // namespace

void HoldLoaderLock() {
  pthread_mutex_lock(&loader_lock);
}

void ReleaseLoaderLock() {
  pthread_mutex_unlock(&loader_lock);
}

}  // namespace Sandbox

// Every thread the process starts, std::thread's included, comes through here: the
// sandbox executable links this library ahead of the C library, so this definition
// comes first in the process's symbol lookup.
extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attributes,
                              void* (*routine)(void*), void* argument) {
  static const auto create =
      reinterpret_cast<Sandbox::CreateFunction>(dlsym(RTLD_NEXT, "pthread_create"));
  auto* const start = new Sandbox::ThreadStart{routine, argument};
  const int created = create(thread, attributes, &Sandbox::RunUnderLoaderRule, start);
  if (created != 0) {
    delete start;
  }
  return created;
}

#endif
