# SPDX-License-Identifier: Apache-2.0
# Runs each program with --version, --help and a wrong argument and checks the
# exit status and what it prints. The window program runs with no display and
# no Qt platform: it must answer before Qt looks for a window system.
# cmake -DBIN_DIR=... -DVERSION=... -DWINDOW=ON|OFF -P check_program_info.cmake

cmake_minimum_required(VERSION 3.25)

# program | arguments (comma-separated) | exit status | pattern its output must match
set(cases
  "corvadex-cli|--version|0|^corvadex ${VERSION}\n$"
  "corvadex-cli|--help|0|Usage: corvadex-cli COMMAND.*tables DATABASE.*dump DATABASE.*read DATABASE.*export DATABASE.*locate.*--output=FILE.*--format=FORMAT.*--version.*Exit status"
  "corvadex-cli|-h|0|^Usage: corvadex-cli"
  "corvadex-cli|--versio|2|unknown command '--versio'"
  "corvadex-cli||2|^Usage: corvadex-cli")
if(WINDOW)
  list(APPEND cases
    "corvadex|--version|0|^corvadex ${VERSION}\n$"
    "corvadex|--help|0|^Usage: corvadex \\[OPTION...\\] \\[FILE\\].*--help.*--version.*-platform NAME.*WINEPREFIX.*Exit status"
    "corvadex|-style,Fusion,-h|0|^Usage: corvadex "
    "corvadex|-platform,offscreen,--bogus|2|unknown argument '--bogus'"
    "corvadex|-platform,offscreen,a.edb,b.edb|2|one file at a time, not also 'b.edb'")
endif()

set(failures 0)
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 program)
  list(GET fields 1 args)
  list(GET fields 2 want_status)
  list(GET fields 3 pattern)
  string(REPLACE "," ";" args "${args}")
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
            ${BIN_DIR}/${program} ${args}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status STREQUAL want_status OR NOT "${out}${err}" MATCHES "${pattern}")
    message(SEND_ERROR "${program} ${args}: exit status ${status} (wanted ${want_status}), "
                       "output not matching '${pattern}':\n${out}${err}")
    math(EXPR failures "${failures} + 1")
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR "${failures} case(s) failed")
endif()
