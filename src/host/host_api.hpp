#pragma once

// Everything declared under src/host/ is defined by the host framework's library
// (the sandbox's libbellwright_host.so here). The plug-in is built with hidden
// visibility, so the host's symbols and type information must be marked visible.
#if defined(_WIN32) && defined(BELLWRIGHT_HOST_LIBRARY)
#define HOST_API __declspec(dllexport)
#elif defined(_WIN32)
#define HOST_API __declspec(dllimport)
#else
#define HOST_API __attribute__((visibility("default")))
#endif
