# The behaviour scripts (tests/scripts/NAME.script against NAME.expected) and the
# checker's cases (tests/checker/NAME.expected), registered alike by the Linux build
# and by the cross-built Windows one, which runs the programs through Wine.

# A case named in SKIP (NAME REASON pairs) is registered as a test that prints the
# reason and counts as skipped, so that every run shows it; sets `skipped`.
function(bellwright_skipped_case test name skip_list)
  list(FIND skip_list ${name} at)
  if(at EQUAL -1)
    set(skipped FALSE PARENT_SCOPE)
    return()
  endif()
  math(EXPR reason_at "${at} + 1")
  list(GET skip_list ${reason_at} reason)
  add_test(NAME ${test} COMMAND ${CMAKE_COMMAND} -E echo "skipped: ${reason}")
  set_tests_properties(${test} PROPERTIES SKIP_REGULAR_EXPRESSION "skipped: ")
  set(skipped TRUE PARENT_SCOPE)
endfunction()

# bellwright_add_script_tests(DRIVER D SANDBOX S [RUNNER R] [TIMEOUT SECONDS]
#                             [SKIP NAME REASON ...])
# Registers script.NAME for every script: the driver D runs the sandbox S (through
# R when given, killed after SECONDS).
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
    bellwright_skipped_case(script.${name} ${name} "${arg_SKIP}")
    if(skipped)
      continue()
    endif()
    add_test(NAME script.${name}
      COMMAND ${arg_DRIVER} ${driver_options} ${arg_SANDBOX} ${script})
  endforeach()
endfunction()

# bellwright_add_checker_cases(CHECKER C [RUNNER R] [SKIP NAME REASON ...])
# Registers checker.NAME for every case: C (through R when given) on NAME.json or
# with the arguments in NAME.args must give NAME.expected's exit status and output.
function(bellwright_add_checker_cases)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "CHECKER;RUNNER" "SKIP")
  set(cases_folder ${PROJECT_SOURCE_DIR}/tests/checker)
  file(GLOB cases CONFIGURE_DEPENDS ${cases_folder}/*.expected)
  foreach(expected ${cases})
    get_filename_component(name ${expected} NAME_WE)
    bellwright_skipped_case(checker.${name} ${name} "${arg_SKIP}")
    if(skipped)
      continue()
    endif()
    set(runner_option)
    if(arg_RUNNER)
      set(runner_option -DRUNNER=${arg_RUNNER})
    endif()
    add_test(NAME checker.${name}
      COMMAND ${CMAKE_COMMAND} -DCHECKER=${arg_CHECKER} ${runner_option}
        -DCASE=${cases_folder}/${name} -P ${cases_folder}/run_case.cmake)
  endforeach()
endfunction()
