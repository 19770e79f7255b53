# Settings every target of the project shares, applied per target so that nothing
# leaks into third-party code built alongside.

# Warnings, and the sanitizers of the sanitizer and fuzz presets.
function(bellwright_target_defaults target)
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
function(bellwright_plugin_code target)
  bellwright_target_defaults(${target})
  target_compile_options(${target} PRIVATE
    $<$<CXX_COMPILER_ID:GNU>:-fno-gnu-unique> -fvisibility=hidden -fvisibility-inlines-hidden)
endfunction()
