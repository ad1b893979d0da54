# zentrel-cli render end to end: the example graph as PNG, SVG and PDF, the
# `render FILE` script line, and a bad output name. Checks each file's
# signature, and converts the PDF with pdftoppm when it is installed.
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR})

function(expect_signature path hex)
  if(NOT EXISTS ${path})
    message(FATAL_ERROR "${path} was not written")
  endif()
  string(LENGTH "${hex}" length)
  math(EXPR bytes "${length} / 2")
  file(READ ${path} head LIMIT ${bytes} HEX)
  if(NOT head STREQUAL hex)
    message(FATAL_ERROR "${path} starts with ${head}, expected ${hex}")
  endif()
endfunction()

foreach(format png svg pdf)
  execute_process(COMMAND ${CLI} render ${EXAMPLE} ${WORKDIR}/graph.${format} --width 800 --height 600
    RESULT_VARIABLE status ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "render to ${format}: exit status ${status}\n${err}")
  endif()
endforeach()
expect_signature(${WORKDIR}/graph.png "89504e470d0a1a0a")
expect_signature(${WORKDIR}/graph.pdf "255044462d")
file(STRINGS ${WORKDIR}/graph.svg svgTag REGEX "<svg")
if(NOT svgTag)
  message(FATAL_ERROR "graph.svg has no <svg> element")
endif()

# The script line draws at the default size wherever the script says.
file(WRITE ${WORKDIR}/line.zts "new-set name=P x=1,2,3 y=3,1,2\nautoscale\nrender line.png\n")
execute_process(COMMAND ${CLI} run ${WORKDIR}/line.zts WORKING_DIRECTORY ${WORKDIR}
  RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "render line: exit status ${status}\n${err}")
endif()
expect_signature(${WORKDIR}/line.png "89504e470d0a1a0a")

file(WRITE ${WORKDIR}/bad.zts "new-set name=P x=1,2 y=3,4\nrender line.bmp\n")
execute_process(COMMAND ${CLI} run ${WORKDIR}/bad.zts WORKING_DIRECTORY ${WORKDIR}
  RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status EQUAL 1 OR NOT err MATCHES "bad.zts:2: .*must end in .png, .svg or .pdf")
  message(FATAL_ERROR "render line.bmp: exit status ${status}, stderr: ${err}")
endif()

execute_process(COMMAND ${CLI} render ${EXAMPLE} ${WORKDIR}/graph.gif RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status EQUAL 2)
  message(FATAL_ERROR "render to .gif: exit status ${status}, expected 2\n${err}")
endif()

find_program(PDFTOPPM pdftoppm)
if(PDFTOPPM)
  execute_process(COMMAND ${PDFTOPPM} -png -r 50 -singlefile ${WORKDIR}/graph.pdf ${WORKDIR}/page
    RESULT_VARIABLE status ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "pdftoppm could not convert graph.pdf: ${err}")
  endif()
  expect_signature(${WORKDIR}/page.png "89504e470d0a1a0a")
else()
  message(STATUS "pdftoppm is not installed (poppler-utils): graph.pdf not converted")
endif()
