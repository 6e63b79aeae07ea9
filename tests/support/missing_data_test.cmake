# SPDX-License-Identifier: Apache-2.0
# Runs test programs against a copy of the data folder with one file taken
# out. Each must fail, name the missing file in its output, and end with an
# exit status of its own rather than by a signal.
#
#   cmake -DDATA=folder -DWORK=folder -DREMOVE=relative/path
#         -DPROGRAMS=prog1|prog2|... -P missing_data_test.cmake
foreach(var DATA WORK REMOVE PROGRAMS)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "missing -D${var}=")
  endif()
endforeach()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(COPY "${DATA}/" DESTINATION "${WORK}")
set(missing "${WORK}/${REMOVE}")
if(NOT EXISTS "${missing}")
  message(FATAL_ERROR "${REMOVE} is not in ${DATA}")
endif()
file(REMOVE "${missing}")
set(ENV{CORVADEX_TEST_DATA} "${WORK}")

string(REPLACE "|" ";" programs "${PROGRAMS}")
set(faults 0)
foreach(program IN LISTS programs)
  get_filename_component(name "${program}" NAME)
  execute_process(COMMAND "${program}" RESULT_VARIABLE status
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status MATCHES "^[0-9]+$")
    message(SEND_ERROR "${name} ended abnormally (${status}) without ${REMOVE}:\n${out}\n${err}")
    math(EXPR faults "${faults} + 1")
  elseif(status EQUAL 0)
    message(SEND_ERROR "${name} passed without ${REMOVE}")
    math(EXPR faults "${faults} + 1")
  else()
    string(FIND "${out}${err}" "${missing}" at)
    if(at EQUAL -1)
      message(SEND_ERROR "${name} failed without naming ${missing}:\n${out}\n${err}")
      math(EXPR faults "${faults} + 1")
    else()
      message(STATUS "${name}: failed (exit status ${status}) naming ${missing}")
    endif()
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
if(faults GREATER 0)
  message(FATAL_ERROR "${faults} program(s) did not fail cleanly")
endif()
