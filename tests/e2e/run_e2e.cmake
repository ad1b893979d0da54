# Runs one end-to-end script through zentrel-cli and checks the outcome.
# The script's header comments say what to expect:
#   # expect-exit: N          exit status (default 0)
#   # expect-stderr: TEXT     text that must appear in standard error
#   # expect-json: FILE KEY... = VALUE
#                             a value in a JSON file the script dumped (FILE
#                             relative to the work folder, '-' for standard
#                             output); booleans read ON/OFF, null reads null,
#                             \\r and \\n in VALUE stand for CR and LF
#   # expect-json-length: FILE KEY... = N
#                             the length of an array or object
#   # expect-no-file: FILE    the script must not have left FILE behind
# Standard output must equal SCRIPT with its extension replaced by .expected
# when that file exists.
get_filename_component(dir ${SCRIPT} DIRECTORY)
get_filename_component(name ${SCRIPT} NAME_WE)
file(STRINGS ${SCRIPT} exitLines REGEX "^# expect-exit: ")
file(STRINGS ${SCRIPT} stderrLines REGEX "^# expect-stderr: ")
file(STRINGS ${SCRIPT} jsonLines REGEX "^# expect-json(-length)?: " ENCODING UTF-8)
file(STRINGS ${SCRIPT} noFileLines REGEX "^# expect-no-file: ")
set(WORKDIR ${WORKDIR}/${name})
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR})
set(expectedExit 0)
if(exitLines)
  string(REGEX REPLACE "^# expect-exit: " "" expectedExit "${exitLines}")
endif()
execute_process(COMMAND ${CLI} run ${SCRIPT}
  WORKING_DIRECTORY ${WORKDIR}
  RESULT_VARIABLE exitCode OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT exitCode EQUAL expectedExit)
  message(FATAL_ERROR "${name}: exit status ${exitCode}, expected ${expectedExit}\nstderr: ${err}\nstdout: ${out}")
endif()
foreach(line ${stderrLines})
  string(REGEX REPLACE "^# expect-stderr: " "" wanted "${line}")
  string(FIND "${err}" "${wanted}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${name}: standard error lacks '${wanted}'\nstderr: ${err}")
  endif()
endforeach()
foreach(line ${noFileLines})
  string(REGEX REPLACE "^# expect-no-file: " "" unwanted "${line}")
  if(EXISTS ${WORKDIR}/${unwanted})
    message(FATAL_ERROR "${name}: the script left ${unwanted} behind")
  endif()
endforeach()
foreach(line ${jsonLines})
  string(REGEX MATCH "^# expect-json(-length)?: ([^ ]+) (.*) = (.*)$" matched "${line}")
  if(NOT matched)
    message(FATAL_ERROR "${name}: malformed line '${line}'")
  endif()
  set(operation GET)
  if(CMAKE_MATCH_1)
    set(operation LENGTH)
  endif()
  set(source ${CMAKE_MATCH_2})
  set(path "${CMAKE_MATCH_3}")
  set(wanted "${CMAKE_MATCH_4}")
  string(REPLACE "\\r" "\r" wanted "${wanted}")
  string(REPLACE "\\n" "\n" wanted "${wanted}")
  string(REPLACE " " ";" keys "${path}")
  if(source STREQUAL "-")
    set(json "${out}")
  else()
    file(READ ${WORKDIR}/${source} json)
  endif()
  string(JSON actual ERROR_VARIABLE jsonError ${operation} "${json}" ${keys})
  if(jsonError)
    message(FATAL_ERROR "${name}: ${source} ${path}: ${jsonError}")
  endif()
  if(NOT "${actual}" STREQUAL "${wanted}")
    message(FATAL_ERROR "${name}: ${operation} ${source} ${path} is '${actual}', expected '${wanted}'")
  endif()
endforeach()
if(EXISTS ${dir}/${name}.expected)
  file(READ ${dir}/${name}.expected expected)
  if(NOT out STREQUAL expected)
    file(WRITE ${WORKDIR}/${name}.actual "${out}")
    message(FATAL_ERROR "${name}: output differs from ${name}.expected; see ${WORKDIR}/${name}.actual\n"
                        "diff ${dir}/${name}.expected ${WORKDIR}/${name}.actual")
  endif()
endif()
