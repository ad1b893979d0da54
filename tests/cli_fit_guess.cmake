# zentrel-cli fit --guess: start values from each file's data. The decay
# example is 3 exp(-x/2) + 1.5 exp(-x/0.3) + 0.2; the held x0 keeps the
# value --params gives it, and the fit converges from the guess alone.
execute_process(COMMAND ${CLI} fit ${SOURCE}/examples/decay.txt --order 2 --params 0,0 --hold 1 --guess --json
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "guessed fit failed (${status}): ${out}${err}")
endif()
string(JSON converged GET "${out}" converged)
string(JSON starts LENGTH "${out}" guessed_start)
string(JSON x0 GET "${out}" guessed_start 1)
string(JSON slow GET "${out}" guessed_start 3)
string(JSON t0 GET "${out}" params 3)
string(JSON t1 GET "${out}" params 5)
if(NOT converged OR NOT starts EQUAL 6 OR NOT x0 EQUAL 0 OR slow LESS 1.5 OR slow GREATER 2.5
   OR t0 LESS 1.95 OR t0 GREATER 2.05 OR t1 LESS 0.28 OR t1 GREATER 0.32)
  message(FATAL_ERROR "unexpected guessed fit (converged ${converged}, ${starts} start values, x0 ${x0}, "
                      "guessed t0 ${slow}, t0 ${t0}, t1 ${t1}): ${out}")
endif()

# The table says where the fit started.
execute_process(COMMAND ${CLI} fit ${SOURCE}/examples/decay.txt --order 1 --hold 1 --guess --range 2:10
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT out MATCHES "from guessed start values 0\\.[0-9]+ 0 [0-9.]+ [0-9.]+\n" OR NOT out MATCHES "converged")
  message(FATAL_ERROR "guessed table fit (${status}): ${out}${err}")
endif()

# Nothing to guess fails the file with the reason, as any failing fit does.
foreach(case "Cubic Spline|runs through the data: it has no start values to guess"
             "Custom function|type their start values in")
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 model)
  list(GET case 1 reason)
  execute_process(COMMAND ${CLI} fit ${SOURCE}/examples/decay.txt --model ${model} --equation "A0*X" --guess --json
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(JSON error ERROR_VARIABLE jsonError GET "${out}" error)
  if(NOT status EQUAL 1 OR NOT error MATCHES "${reason}")
    message(FATAL_ERROR "${model} --guess: expected exit status 1 and '${reason}' (${status}): ${out}${err}")
  endif()
endforeach()
