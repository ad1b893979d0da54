# zentrel-cli fit with statistics, profile confidence intervals and reports.
set(DECAY ${SOURCE}/examples/decay.txt)
set(FIT fit ${DECAY} --order 2 --params 0,0,1,1,1,0.1 --hold 1)
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR})

# JSON: the statistics always, the intervals when asked; every interval
# holds its best value and the 0.95 one holds the 0.683 one.
foreach(level 0.683 0.95)
  execute_process(COMMAND ${CLI} ${FIT} --confidence ${level} --json
    RESULT_VARIABLE status OUTPUT_VARIABLE out_${level} ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "--confidence ${level} failed (${status}): ${out_${level}}${err}")
  endif()
endforeach()
set(out "${out_0.95}")
string(JSON dof GET "${out}" statistics degrees_of_freedom)
string(JSON r2 GET "${out}" statistics r_squared)
string(JSON runs GET "${out}" statistics runs_test runs)
string(JSON free LENGTH "${out}" statistics correlation parameters)
string(JSON level GET "${out}" confidence level)
string(JSON scaled GET "${out}" confidence scaled)
string(JSON count LENGTH "${out}" confidence intervals)
if(NOT dof EQUAL 196 OR NOT r2 GREATER 0.999 OR NOT runs GREATER 0 OR NOT free EQUAL 5 OR NOT level EQUAL 0.95
   OR NOT scaled OR NOT count EQUAL 5)
  message(FATAL_ERROR "unexpected statistics or intervals (dof ${dof}, R2 ${r2}, runs ${runs}, ${free} correlated, "
                      "level ${level}, scaled ${scaled}, ${count} intervals): ${out}")
endif()
math(EXPR last "${count} - 1")
foreach(k RANGE ${last})
  string(JSON best GET "${out}" confidence intervals ${k} best)
  string(JSON lower GET "${out}" confidence intervals ${k} lower)
  string(JSON upper GET "${out}" confidence intervals ${k} upper)
  string(JSON narrowLower GET "${out_0.683}" confidence intervals ${k} lower)
  string(JSON narrowUpper GET "${out_0.683}" confidence intervals ${k} upper)
  if(NOT lower LESS narrowLower OR NOT narrowLower LESS best OR NOT best LESS narrowUpper
     OR NOT narrowUpper LESS upper)
    message(FATAL_ERROR "interval ${k}: 0.95 [${lower}, ${upper}], 0.683 [${narrowLower}, ${narrowUpper}], best ${best}")
  endif()
endforeach()

# The table keeps its lines and adds the statistics and intervals after them.
execute_process(COMMAND ${CLI} ${FIT} --confidence 0.683 RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT out MATCHES "t1 +0\\.30" OR NOT out MATCHES "201 points, [0-9]+ iterations, converged\n"
   OR NOT out MATCHES "R-squared 0\\.999" OR NOT out MATCHES "runs test: [0-9]+ runs"
   OR NOT out MATCHES "confidence 0\\.683 \\(profile, delta chi-square 1, scaled by the residual variance\\)"
   OR NOT out MATCHES "  t1 = 0\\.30[0-9]*  \\[0\\.29[0-9]*, 0\\.30[0-9]*\\]")
  message(FATAL_ERROR "table with statistics (${status}): ${out}${err}")
endif()

# Bad levels and report names are refused before fitting.
foreach(case "--confidence;2|--confidence must be a level between 0 and 1"
             "--confidence;x|--confidence must be a level between 0 and 1"
             "--report;${WORKDIR}/r.txt|--report: the file name must end in .md or .json")
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 option)
  list(GET case 1 value)
  list(GET case 2 reason)
  execute_process(COMMAND ${CLI} ${FIT} ${option} ${value} RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE err)
  if(NOT status EQUAL 2 OR NOT err MATCHES "${reason}")
    message(FATAL_ERROR "${option} ${value} must be refused with status 2 (${status}): ${err}")
  endif()
endforeach()
execute_process(COMMAND ${CLI} fit ${DECAY} ${DECAY} --report ${WORKDIR}/two.md RESULT_VARIABLE status OUTPUT_QUIET
  ERROR_VARIABLE err)
if(NOT status EQUAL 2 OR NOT err MATCHES "--report writes the report of one data file")
  message(FATAL_ERROR "--report with two files must be refused (${status}): ${err}")
endif()

# No degrees of freedom: nothing to profile, said so, status 1.
execute_process(COMMAND ${CLI} fit ${DECAY} --model Polynomial --order 1 --hold 1 --range 0:0.05 --confidence 0.95
  --json RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(JSON why ERROR_VARIABLE jsonError GET "${out}" confidence error)
if(NOT status EQUAL 1 OR NOT why MATCHES "no degrees of freedom")
  message(FATAL_ERROR "profiling without degrees of freedom (${status}): ${out}${err}")
endif()

# Reports: Markdown and JSON, each with its plot beside it.
execute_process(COMMAND ${CLI} ${FIT} --confidence 0.95 --report ${WORKDIR}/decay.md
  RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT EXISTS ${WORKDIR}/decay.md)
  message(FATAL_ERROR "Markdown report (${status}): ${err}")
endif()
file(READ ${WORKDIR}/decay.md md)
foreach(wanted "| Data | ${DECAY} |" "| Model | Exponential, order 2 |" "| t1 | 0.30" "| 0.95 interval |"
               "## Statistics" "| Degrees of freedom | 196 |" "### Correlation matrix")
  string(FIND "${md}" "${wanted}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the Markdown report lacks '${wanted}':\n${md}")
  endif()
endforeach()
execute_process(COMMAND ${CLI} ${FIT} --report ${WORKDIR}/json/decay.JSON RESULT_VARIABLE status OUTPUT_QUIET
  ERROR_VARIABLE err)
if(NOT status EQUAL 1 OR NOT err MATCHES "--report .*decay.JSON")
  message(FATAL_ERROR "a report into a missing folder must fail (${status}): ${err}")
endif()
file(MAKE_DIRECTORY ${WORKDIR}/json)
execute_process(COMMAND ${CLI} ${FIT} --report ${WORKDIR}/json/decay.JSON RESULT_VARIABLE status OUTPUT_QUIET
  ERROR_VARIABLE err)
file(READ ${WORKDIR}/json/decay.JSON json)
string(JSON model GET "${json}" model)
string(JSON name GET "${json}" parameters 5 name)
string(JSON held GET "${json}" parameters 1 held)
string(JSON dof GET "${json}" statistics degrees_of_freedom)
string(JSON confidenceType ERROR_VARIABLE noConfidence TYPE "${json}" confidence)
if(NOT status EQUAL 0 OR NOT model STREQUAL "Exponential" OR NOT name STREQUAL "t1" OR NOT held OR NOT dof EQUAL 196
   OR NOT noConfidence)
  message(FATAL_ERROR "JSON report (${status}): ${err}${json}")
endif()
if(RENDER)
  foreach(picture ${WORKDIR}/decay.png ${WORKDIR}/json/decay.png)
    file(READ ${picture} signature LIMIT 8 HEX)
    if(NOT signature STREQUAL "89504e470d0a1a0a")
      message(FATAL_ERROR "${picture} is no PNG (${signature})")
    endif()
  endforeach()
  string(FIND "${md}" "![Data, fit and residuals](decay.png)" at)
  string(JSON plot GET "${json}" plot)
  if(at EQUAL -1 OR NOT plot STREQUAL "decay.png")
    message(FATAL_ERROR "the reports must name their plot: ${plot}\n${md}")
  endif()
endif()
