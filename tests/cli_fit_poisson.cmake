# zentrel-cli fit --weighting poisson: counts with an empty bin are fitted by
# the deviance with absolute errors (1/Y cannot weigh the empty bin at all);
# a start the deviance cannot take and a negative count are refused with the
# point; the weighting list names poisson.
set(COUNTS ${WORKDIR}/counts.txt)
file(MAKE_DIRECTORY ${WORKDIR})
file(WRITE ${COUNTS} "0 103\n1 74\n2 61\n3 45\n4 36\n5 27\n6 21\n7 15\n8 12\n9 9\n10 8\n11 7\n12 4\n13 6\n14 3\n15 5\n16 2\n17 4\n18 3\n19 0\n")
set(EXPONENTIAL --model Exponential --order 1 --hold 1 --method lm --max-iter 0)

execute_process(COMMAND ${CLI} fit ${COUNTS} ${EXPONENTIAL} --params 1,0,90,4 --weighting poisson --json
                        --report ${WORKDIR}/report.json
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(JSON converged ERROR_VARIABLE jsonError GET "${out}" converged)
string(JSON chi ERROR_VARIABLE jsonError GET "${out}" chi_square)
string(JSON aic ERROR_VARIABLE jsonError GET "${out}" statistics aic)
string(JSON absolute ERROR_VARIABLE jsonError GET "${out}" statistics absolute_weights)
string(JSON t0 ERROR_VARIABLE jsonError GET "${out}" params 3)
file(READ ${WORKDIR}/report.json report)
string(JSON weighting ERROR_VARIABLE jsonError GET "${report}" weighting)
# The deviance is 7.86707 and AIC = deviance + 2k, k = 3.
if(NOT status EQUAL 0 OR NOT converged OR NOT absolute OR NOT weighting STREQUAL "poisson"
   OR NOT chi MATCHES "^7\\.8670727" OR NOT aic MATCHES "^13\\.8670727" OR NOT t0 MATCHES "^3\\.632108")
  message(FATAL_ERROR "Poisson fit (${status}): weighting ${weighting}, chi ${chi}, aic ${aic}, t0 ${t0}: ${out}${err}")
endif()

execute_process(COMMAND ${CLI} fit ${COUNTS} ${EXPONENTIAL} --params -200,0,90,4 --weighting poisson
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(FIND "${out}${err}" "Poisson likelihood needs a positive model value where there are counts: -110 at x = 0 (103 counts)" at)
if(NOT status EQUAL 1 OR at EQUAL -1)
  message(FATAL_ERROR "a start outside the deviance's domain must be refused (${status}): ${out}${err}")
endif()

file(WRITE ${WORKDIR}/negative.txt "0 5\n1 3\n2 -2\n3 1\n")
execute_process(COMMAND ${CLI} fit ${WORKDIR}/negative.txt ${EXPONENTIAL} --params 1,0,4,1 --weighting poisson
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(FIND "${out}${err}" "Poisson likelihood needs counts of 0 or more at every point: -2 at x = 2" at)
if(NOT status EQUAL 1 OR at EQUAL -1)
  message(FATAL_ERROR "a negative count must be refused (${status}): ${out}${err}")
endif()

execute_process(COMMAND ${CLI} fit ${COUNTS} --weighting likelihood RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE err)
string(FIND "${err}" "--weighting must be equal, 1/y, 1/sigma^2, 1/sqrt(y) or poisson" at)
if(NOT status EQUAL 2 OR at EQUAL -1)
  message(FATAL_ERROR "an unknown weighting (${status}): ${err}")
endif()
