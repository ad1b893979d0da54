# zentrel-cli render end to end: the example graph as PNG, SVG and PDF, the
# `render FILE` script line, a bad output name, the sizes of each style and
# the `style` script line. Checks each file's
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

# A PNG's size from its header: width and height, 4 bytes each at offset 16.
function(expect_png_size path width height)
  expect_signature(${path} "89504e470d0a1a0a")
  file(READ ${path} size OFFSET 16 LIMIT 8 HEX)
  string(SUBSTRING "${size}" 0 8 w)
  string(SUBSTRING "${size}" 8 8 h)
  math(EXPR w "0x${w}")
  math(EXPR h "0x${h}")
  if(NOT w EQUAL width OR NOT h EQUAL height)
    message(FATAL_ERROR "${path} is ${w} x ${h}, expected ${width} x ${height}")
  endif()
endfunction()

# The paper style keeps its page: more pixels make it sharper, not larger.
# The classic style's pixels stay its page at 100 per inch.
foreach(case "paper;--width;3300;3300;2550" "paper;--dpi;150;1650;1275" "paper;--height;425;550;425"
             "classic;--width;800;800;850" "classic;--dpi;200;2200;1700")
  list(GET case 0 style)
  list(GET case 1 option)
  list(GET case 2 value)
  list(GET case 3 width)
  list(GET case 4 height)
  execute_process(COMMAND ${CLI} render ${EXAMPLE} ${WORKDIR}/sized.png --style ${style} ${option} ${value}
    RESULT_VARIABLE status ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "render --style ${style} ${option} ${value}: exit status ${status}\n${err}")
  endif()
  expect_png_size(${WORKDIR}/sized.png ${width} ${height})
endforeach()
execute_process(COMMAND ${CLI} render ${EXAMPLE} ${WORKDIR}/graph.png --style fancy RESULT_VARIABLE status
  ERROR_VARIABLE err)
if(NOT status EQUAL 2)
  message(FATAL_ERROR "render --style fancy: exit status ${status}, expected 2\n${err}")
endif()

# A script's `style` line sets the style of the drawing that follows.
file(WRITE ${WORKDIR}/style.zts "new-set name=P x=-1,1,10,100 y=1,2,3,4\nautoscale\nlog-x-axis\nstyle paper\nrender styled.svg\nstatus\n")
execute_process(COMMAND ${CLI} run ${WORKDIR}/style.zts WORKING_DIRECTORY ${WORKDIR}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT out MATCHES "not drawn on a logarithmic axis")
  message(FATAL_ERROR "style paper in a script: exit status ${status}, output ${out}\n${err}")
endif()
file(STRINGS ${WORKDIR}/styled.svg legend REGEX ">P</text>")
if(NOT legend)
  message(FATAL_ERROR "styled.svg has no legend entry for set P")
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
