# Bad command lines are told on stderr with the usage line and exit 2 before
# the toolkit starts, so no display is needed.
#   cmake -DPROGRAM=.../lexicarta -P bad_command_line.cmake
set(cases
  "--bogus"
  "first.tlk|second.tlk"
  "first.tlk|-platform"
  "-style|fusion|--bogus|first.tlk")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" arguments "${case}")
  execute_process(COMMAND "${CMAKE_COMMAND}" -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb
                          "${PROGRAM}" ${arguments}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
  if(NOT result EQUAL 2 OR NOT output STREQUAL "" OR NOT errors MATCHES "\nUsage: lexicarta \\[OPTION\\]\\.\\.\\. \\[FILE\\]\n")
    message(FATAL_ERROR "lexicarta ${arguments}: exit ${result}, stdout \"${output}\", stderr \"${errors}\"")
  endif()
  message(STATUS "lexicarta ${arguments}: exit 2, ${errors}")
endforeach()
