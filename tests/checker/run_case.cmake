# cmake -DCHECKER=EXE [-DRUNNER=PROGRAM] -DCASE=DIR/NAME -P run_case.cmake
# Runs bellwright-check on NAME.json (or with the arguments in NAME.args) in DIR and
# compares its exit status and standard output with NAME.expected, whose first line
# is "exit N" and whose rest is the output exactly. With BELLWRIGHT_UPDATE_EXPECTED=1
# in the environment it writes NAME.expected instead: read it before committing.
# RUNNER runs the checker (wine64 for the Windows build); a Windows program ends its
# lines with CR LF, which count as LF here.
get_filename_component(directory "${CASE}" DIRECTORY)
get_filename_component(name "${CASE}" NAME)
if(EXISTS "${CASE}.args")
  file(READ "${CASE}.args" arguments)
  string(STRIP "${arguments}" arguments)
  separate_arguments(arguments UNIX_COMMAND "${arguments}")
else()
  set(arguments "${name}.json")
endif()
set(runner)
if(DEFINED RUNNER)
  set(runner "${RUNNER}")
endif()
execute_process(
  COMMAND ${runner} "${CHECKER}" ${arguments}
  WORKING_DIRECTORY "${directory}"
  OUTPUT_VARIABLE output
  ERROR_VARIABLE errors
  RESULT_VARIABLE status
  TIMEOUT 60)
if(DEFINED RUNNER)
  string(REPLACE "\r\n" "\n" output "${output}")
endif()
set(actual "exit ${status}\n${output}")
if("$ENV{BELLWRIGHT_UPDATE_EXPECTED}" STREQUAL "1")
  file(WRITE "${CASE}.expected" "${actual}")
  message(STATUS "wrote ${CASE}.expected")
  return()
endif()
file(READ "${CASE}.expected" expected)
if(NOT actual STREQUAL expected)
  message(FATAL_ERROR
    "bellwright-check ${arguments}\n--- expected\n${expected}--- actual\n${actual}--- stderr\n${errors}")
endif()
