# Settings every target of the project shares, applied per target so that nothing
# leaks into third-party code built alongside.

# Warnings, and the sanitizers of the sanitizer and fuzz presets. Flags are spelled
# per compiler: MSVC (and clang-cl), which builds the library the real host loads,
# understands none of the GNU spellings that GCC and Clang share.
function(bellwright_target_defaults target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /utf-8 /permissive-)
    if(BELLWRIGHT_SANITIZE OR BELLWRIGHT_FUZZ)
      message(FATAL_ERROR "the sanitizer and fuzz builds need GCC or Clang")
    endif()
    return()
  endif()
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(BELLWRIGHT_SANITIZE OR BELLWRIGHT_FUZZ)
    # float-cast-overflow is not part of GCC's "undefined" group; an out-of-range
    # colour once went through such a cast unseen.
    set(checks address,undefined,float-cast-overflow)
    target_compile_options(${target} PRIVATE
      -fsanitize=${checks} -fno-omit-frame-pointer -fno-sanitize-recover=undefined,float-cast-overflow)
    target_link_options(${target} PRIVATE -fsanitize=${checks})
  endif()
  if(BELLWRIGHT_FUZZ)
    # Coverage feedback from all the code a fuzz target reaches; only the targets
    # themselves link the fuzzer's main.
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
endfunction()

# Code that ends up in the plug-in library. The host opens and closes the library and
# expects a later open to start from fresh module state, so:
# - hidden visibility: the plug-in exports nothing and shares no symbol with the host;
# - -fno-gnu-unique: g++ marks some template and inline statics STB_GNU_UNIQUE, which
#   makes dlclose keep the library resident.
# A Windows library exports nothing unless asked to, and has no STB_GNU_UNIQUE.
function(bellwright_plugin_code target)
  bellwright_target_defaults(${target})
  if(NOT WIN32)
    target_compile_options(${target} PRIVATE
      $<$<CXX_COMPILER_ID:GNU>:-fno-gnu-unique> -fvisibility=hidden -fvisibility-inlines-hidden)
  endif()
endfunction()

# A plug-in library the host opens with dlopen (the plug-in, and the loader tests'
# fixture): code of the plug-in's own, every symbol resolved at link time, and the
# file beside the sandbox. clang does not link its sanitizer runtimes into shared
# libraries; they come from the executable at load time, so that build cannot ask for
# every symbol at link time.
function(bellwright_plugin_module target)
  bellwright_plugin_code(${target})
  if(NOT WIN32 AND NOT APPLE AND
     NOT (CMAKE_CXX_COMPILER_ID MATCHES "Clang" AND (BELLWRIGHT_SANITIZE OR BELLWRIGHT_FUZZ)))
    target_link_options(${target} PRIVATE -Wl,--no-undefined)
  endif()
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    LIBRARY_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bin")
endfunction()
