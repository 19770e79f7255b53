# Cross-builds 64-bit Windows programs and libraries with Debian's mingw-w64 compiler:
# POSIX threads (std::thread and std::mutex over winpthreads), and the C and C++
# runtimes linked in statically, so the DLL and the programs need nothing beside them
# but what every Windows has.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(BELLWRIGHT_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${BELLWRIGHT_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BELLWRIGHT_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${BELLWRIGHT_MINGW_TRIPLET}-windres)

# Only the cross compiler's own headers and libraries; the machine's Linux ones
# are reached by name where a build file asks for them.
set(CMAKE_FIND_ROOT_PATH /usr/${BELLWRIGHT_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
