# zentrel-cli fit --bounds: a fit held back by a bound ends on it and says
# so in the table and the JSON; an unbounded fit's JSON has no at_bound; bad
# bounds are refused with exit status 2.
set(DECAY ${SOURCE}/examples/decay.txt)
set(TWO --order 2 --params 0,0,1,1,1,0.1 --hold 1)

# The fast time is 0.3: kept at most 0.25 it ends there; the slow time has
# room on both sides and stays inside.
execute_process(COMMAND ${CLI} fit ${DECAY} ${TWO} --bounds 5::0.25,3:0.5:10 --json
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(JSON t1 ERROR_VARIABLE jsonError GET "${out}" params 5)
string(JSON side1 ERROR_VARIABLE jsonError GET "${out}" at_bound 5)
string(JSON side0 ERROR_VARIABLE jsonError TYPE "${out}" at_bound 3)
string(JSON converged ERROR_VARIABLE jsonError GET "${out}" converged)
if(NOT status EQUAL 0 OR NOT t1 EQUAL 0.25 OR NOT side1 STREQUAL "upper" OR NOT side0 STREQUAL "NULL" OR NOT converged)
  message(FATAL_ERROR "bounded JSON fit (${status}): t1 ${t1}, at_bound ${side1}/${side0}: ${out}${err}")
endif()

execute_process(COMMAND ${CLI} fit ${DECAY} ${TWO} --bounds 5::0.25
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT out MATCHES "t1 +0\\.25 +\\+/- [0-9.e+-]+  \\(at upper bound\\)")
  message(FATAL_ERROR "the table must mark the bound (${status}): ${out}${err}")
endif()

# A start value outside its interval is moved in, not refused.
execute_process(COMMAND ${CLI} fit ${DECAY} --order 2 --params 0,0,1,1,1,5 --hold 1 --bounds 5:0:1 --json
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(JSON t1 ERROR_VARIABLE jsonError GET "${out}" params 5)
if(NOT status EQUAL 0 OR t1 LESS 0.29 OR t1 GREATER 0.31)
  message(FATAL_ERROR "a start outside its interval (${status}): t1 ${t1}: ${out}${err}")
endif()

execute_process(COMMAND ${CLI} fit ${DECAY} ${TWO} --json RESULT_VARIABLE status OUTPUT_VARIABLE out)
string(JSON side ERROR_VARIABLE missing GET "${out}" at_bound)
if(NOT status EQUAL 0 OR NOT missing)
  message(FATAL_ERROR "an unbounded fit's JSON must have no at_bound: ${out}")
endif()

foreach(case "3:5:1|bounds of parameter 3: the lower bound is above the upper bound"
             "3:x:1|'3:x:1' has a bound that is not a number"
             "3|'3' is not I:LO:HI"
             "3:0:1,3:0:2|bounds of parameter 3: given twice"
             "17::1|bounds of parameter 17: no such parameter")
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 bounds)
  list(GET case 1 reason)
  execute_process(COMMAND ${CLI} fit ${DECAY} --bounds ${bounds} RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE err)
  string(FIND "${err}" "${reason}" at)
  if(NOT status EQUAL 2 OR at EQUAL -1)
    message(FATAL_ERROR "--bounds ${bounds}: expected exit status 2 and '${reason}' (${status}): ${err}")
  endif()
endforeach()
