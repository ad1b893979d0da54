# Runs one end-to-end script through zentrel-cli and checks the outcome.
# The script's header comments say what to expect:
#   # expect-exit: N          exit status (default 0)
#   # expect-stderr: TEXT     text that must appear in standard error
# Standard output must equal SCRIPT with its extension replaced by .expected
# when that file exists.
get_filename_component(dir ${SCRIPT} DIRECTORY)
get_filename_component(name ${SCRIPT} NAME_WE)
file(MAKE_DIRECTORY ${WORKDIR})
file(STRINGS ${SCRIPT} exitLines REGEX "^# expect-exit: ")
file(STRINGS ${SCRIPT} stderrLines REGEX "^# expect-stderr: ")
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
if(EXISTS ${dir}/${name}.expected)
  file(READ ${dir}/${name}.expected expected)
  if(NOT out STREQUAL expected)
    file(WRITE ${WORKDIR}/${name}.actual "${out}")
    message(FATAL_ERROR "${name}: output differs from ${name}.expected; see ${WORKDIR}/${name}.actual\n"
                        "diff ${dir}/${name}.expected ${WORKDIR}/${name}.actual")
  endif()
endif()
