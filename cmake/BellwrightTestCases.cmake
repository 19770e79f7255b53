# The behaviour scripts (tests/scripts/NAME.script against NAME.expected) and the
# checker's cases (tests/checker/NAME.expected), registered alike by the Linux build
# and by the cross-built Windows one, which runs the programs through Wine.

# bellwright_add_script_tests(DRIVER D SANDBOX S [RUNNER R] [TIMEOUT SECONDS]
#                             [SKIP NAME REASON ...])
# Registers script.NAME for every script: the driver D runs the sandbox S (through
# R when given, killed after SECONDS). A skipped script is registered as a test that
# says why and counts as skipped, so that it is seen.
function(bellwright_add_script_tests)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "DRIVER;SANDBOX;RUNNER;TIMEOUT" "SKIP")
  set(driver_options)
  if(arg_RUNNER)
    list(APPEND driver_options --runner ${arg_RUNNER})
  endif()
  if(arg_TIMEOUT)
    list(APPEND driver_options --timeout ${arg_TIMEOUT})
  endif()
  file(GLOB scripts CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/scripts/*.script)
  foreach(script ${scripts})
    get_filename_component(name ${script} NAME_WE)
    list(FIND arg_SKIP ${name} skipped)
    if(skipped GREATER -1)
      math(EXPR reason_index "${skipped} + 1")
      list(GET arg_SKIP ${reason_index} reason)
      add_test(NAME script.${name} COMMAND ${CMAKE_COMMAND} -E echo "skipped: ${reason}")
      set_tests_properties(script.${name} PROPERTIES SKIP_REGULAR_EXPRESSION "skipped: ")
      continue()
    endif()
    add_test(NAME script.${name}
      COMMAND ${arg_DRIVER} ${driver_options} ${arg_SANDBOX} ${script})
  endforeach()
endfunction()

# bellwright_add_checker_cases(CHECKER C [RUNNER R])
# Registers checker.NAME for every case: C (through R when given) on NAME.json or
# with the arguments in NAME.args must give NAME.expected's exit status and output.
function(bellwright_add_checker_cases)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "CHECKER;RUNNER" "")
  set(cases_folder ${PROJECT_SOURCE_DIR}/tests/checker)
  file(GLOB cases CONFIGURE_DEPENDS ${cases_folder}/*.expected)
  foreach(expected ${cases})
    get_filename_component(name ${expected} NAME_WE)
    set(runner_option)
    if(arg_RUNNER)
      set(runner_option -DRUNNER=${arg_RUNNER})
    endif()
    add_test(NAME checker.${name}
      COMMAND ${CMAKE_COMMAND} -DCHECKER=${arg_CHECKER} ${runner_option}
        -DCASE=${cases_folder}/${name} -P ${cases_folder}/run_case.cmake)
  endforeach()
endfunction()
