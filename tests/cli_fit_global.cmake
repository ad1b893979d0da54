# zentrel-cli fit --global: three decays sharing the lifetimes t0 and t1
# (parameters 3 and 5), fitted jointly.
set(data ${SOURCE}/tests/e2e/data)
set(files ${data}/global_decay0.txt ${data}/global_decay1.txt ${data}/global_decay2.txt)
set(start --order 2 --hold 1 --params 0,0,2,0.5,2,5)

execute_process(COMMAND ${CLI} fit ${files} ${start} --global --share 3,5 --json
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "global fit failed (${status}): ${out}${err}")
endif()
string(JSON converged GET "${out}" converged)
string(JSON points GET "${out}" points)
string(JSON free GET "${out}" free_parameters)
string(JSON sets LENGTH "${out}" sets)
string(JSON shared3 GET "${out}" shared 3)
string(JSON shared2 GET "${out}" shared 2)
if(NOT converged OR NOT points EQUAL 245 OR NOT free EQUAL 11 OR NOT sets EQUAL 3 OR NOT shared3 OR shared2)
  message(FATAL_ERROR "unexpected joint statistics: ${out}")
endif()
# Every set holds the same shared values, near the lifetimes the files were made with.
string(JSON t0 GET "${out}" sets 0 params 3)
string(JSON t1 GET "${out}" sets 0 params 5)
string(JSON t0error GET "${out}" sets 0 errors 3)
if(t0 LESS 0.78 OR t0 GREATER 0.82 OR t1 LESS 2.95 OR t1 GREATER 3.05 OR t0error LESS_EQUAL 0)
  message(FATAL_ERROR "lifetimes ${t0}, ${t1} (error ${t0error}) far from 0.8 and 3: ${out}")
endif()
foreach(k 1 2)
  string(JSON other0 GET "${out}" sets ${k} params 3)
  string(JSON other1 GET "${out}" sets ${k} params 5)
  if(NOT other0 EQUAL t0 OR NOT other1 EQUAL t1)
    message(FATAL_ERROR "set ${k} does not hold the shared values: ${out}")
  endif()
  string(JSON file GET "${out}" sets ${k} file)
  if(NOT file STREQUAL "${data}/global_decay${k}.txt")
    message(FATAL_ERROR "set ${k} is named ${file}")
  endif()
endforeach()
# Set 1's own amplitude a0 is 3.
string(JSON a0 GET "${out}" sets 1 params 2)
if(a0 LESS 2.9 OR a0 GREATER 3.1)
  message(FATAL_ERROR "set 1's a0 ${a0} is not near 3: ${out}")
endif()

# The table marks the shared rows and ends with the joint statistics.
execute_process(COMMAND ${CLI} fit ${files} ${start} --global --share 3,5
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT out MATCHES "global fit of 3 sets: Exponential, order 2, shared: t0, t1\n"
   OR NOT out MATCHES "  t1 +[0-9.]+  \\+/- [0-9.e-]+  \\(shared\\)\n"
   OR NOT out MATCHES "  x0 +0  held\n"
   OR NOT out MATCHES "joint: chi-square [0-9.]+, reduced [0-9.]+, 245 points, 11 free parameters, [0-9]+ iterations, converged\n")
  message(FATAL_ERROR "unexpected global table (${status}): ${out}${err}")
endif()

# --convolve-with convolves every file's model with the response (the
# core tests check it against single convolved fits): another result.
execute_process(COMMAND ${CLI} fit ${files} ${start} --convolve-with ${data}/global_response.txt --global --share 3,5
                        --json
  RESULT_VARIABLE status OUTPUT_VARIABLE convolved ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "convolved global fit failed (${status}): ${convolved}${err}")
endif()
string(JSON converged GET "${convolved}" converged)
string(JSON t0convolved GET "${convolved}" sets 0 params 3)
if(NOT converged OR t0convolved EQUAL t0)
  message(FATAL_ERROR "the convolved fit (t0 ${t0convolved}) is not another converged fit: ${convolved}")
endif()

# Refusals: options that do not go with --global, --share without it, bad
# indices, and a method other than Levenberg-Marquardt.
foreach(case "--share;3|--share needs --global"
             "--global;--share;3,x|--share: 'x' is not a parameter index"
             "--global;--share;3,9|shared parameter index 9 is beyond the model's 6 parameters"
             "--global;--csv|--csv does not go with --global"
             "--global;--method;gridless|a global fit uses Levenberg-Marquardt")
  string(REPLACE "|" ";" case "${case}")
  list(POP_BACK case reason)
  execute_process(COMMAND ${CLI} fit ${files} ${start} ${case}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(status EQUAL 0 OR NOT err MATCHES "${reason}")
    message(FATAL_ERROR "${case}: expected a failure saying '${reason}' (${status}): ${out}${err}")
  endif()
endforeach()
