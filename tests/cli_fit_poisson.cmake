# zentrel-cli fit --weighting poisson: counts with empty bins are fitted by
# the deviance, which the JSON reports as the chi-square; a negative count
# is refused with the point; the weighting list names poisson.
set(COUNTS ${WORKDIR}/counts.txt)
file(MAKE_DIRECTORY ${WORKDIR})
file(WRITE ${COUNTS} "0 97\n1 71\n2 60\n3 41\n4 33\n5 22\n6 19\n7 11\n8 9\n9 8\n10 4\n11 6\n12 2\n13 0\n14 1\n15 0\n")
set(EXPONENTIAL --model Exponential --order 1 --params 1,0,90,4 --hold 1 --method lm --max-iter 0)

execute_process(COMMAND ${CLI} fit ${COUNTS} ${EXPONENTIAL} --weighting poisson --json
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(JSON weighting ERROR_VARIABLE jsonError GET "${out}" weighting)
string(JSON converged ERROR_VARIABLE jsonError GET "${out}" converged)
string(JSON chi ERROR_VARIABLE jsonError GET "${out}" chi_square)
string(JSON t0 ERROR_VARIABLE jsonError GET "${out}" params 3)
if(NOT status EQUAL 0 OR NOT weighting STREQUAL "poisson" OR NOT converged OR chi LESS 0 OR chi GREATER 30
   OR t0 LESS 3 OR t0 GREATER 5)
  message(FATAL_ERROR "Poisson fit (${status}): weighting ${weighting}, chi ${chi}, t0 ${t0}: ${out}${err}")
endif()

# The same counts under 1/Y cannot be fitted: an empty bin has no weight.
execute_process(COMMAND ${CLI} fit ${COUNTS} ${EXPONENTIAL} --weighting 1/y --json
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(JSON chiY ERROR_VARIABLE jsonError GET "${out}" chi_square)
if(chiY STREQUAL chi)
  message(FATAL_ERROR "1/Y must not give the Poisson deviance: ${out}")
endif()

file(WRITE ${WORKDIR}/negative.txt "0 5\n1 3\n2 -2\n3 1\n")
execute_process(COMMAND ${CLI} fit ${WORKDIR}/negative.txt ${EXPONENTIAL} --weighting poisson
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(FIND "${out}${err}" "Poisson likelihood needs counts of 0 or more at every point: -2 at x = 2" at)
if(status EQUAL 0 OR at EQUAL -1)
  message(FATAL_ERROR "a negative count must be refused (${status}): ${out}${err}")
endif()

execute_process(COMMAND ${CLI} fit ${COUNTS} --weighting likelihood RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE err)
string(FIND "${err}" "--weighting must be equal, 1/y, 1/sigma^2, 1/sqrt(y) or poisson" at)
if(NOT status EQUAL 2 OR at EQUAL -1)
  message(FATAL_ERROR "an unknown weighting (${status}): ${err}")
endif()
