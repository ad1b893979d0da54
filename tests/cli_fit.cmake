# zentrel-cli fit end to end: a table for one file, JSON lines for two (one
# of them missing), and the exit statuses.
execute_process(COMMAND ${CLI} fit ${SOURCE}/examples/decay.txt --order 2 --params 0,0,1,1,1,0.1 --hold 1
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT out MATCHES "converged" OR NOT out MATCHES "t1 +0\\.30")
  message(FATAL_ERROR "table fit failed (${status}): ${out}${err}")
endif()

execute_process(COMMAND ${CLI} fit ${SOURCE}/examples/decay.txt missing-file.txt --order 2 --params 0,0,1,1,1,0.1
  --hold 1 --json RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 1)
  message(FATAL_ERROR "a missing file must give exit status 1, got ${status}")
endif()
string(REGEX REPLACE "\n$" "" out "${out}")
string(REPLACE "\n" ";" lines "${out}")
list(LENGTH lines count)
if(NOT count EQUAL 2)
  message(FATAL_ERROR "expected two JSON lines, got: ${out}")
endif()
list(GET lines 0 first)
list(GET lines 1 second)
string(JSON converged GET "${first}" converged)
string(JSON held TYPE "${first}" errors 1)
string(JSON names LENGTH "${first}" names)
string(JSON error GET "${second}" error)
if(NOT converged OR NOT held STREQUAL "NULL" OR NOT names EQUAL 6 OR NOT error STREQUAL "Couldn't open file missing-file.txt: no such file")
  message(FATAL_ERROR "unexpected JSON (converged ${converged}, held ${held}, ${names} names, error ${error}): ${out}")
endif()

# A data file that is no text, and a folder, say why they were not read.
foreach(case "garbage.txt|binary data \\(NUL bytes\\), not text" "data|not a regular file")
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 name)
  list(GET case 1 reason)
  set(path ${SOURCE}/tests/e2e/data)
  if(NOT name STREQUAL "data")
    set(path ${path}/${name})
  endif()
  execute_process(COMMAND ${CLI} fit ${path} --json RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(JSON error ERROR_VARIABLE jsonError GET "${out}" error)
  if(NOT status EQUAL 1 OR NOT error MATCHES "^Couldn't open file ${name}: ${reason}$")
    message(FATAL_ERROR "${name}: expected exit status 1 and the reason '${reason}' (${status}): ${out}${err}")
  endif()
endforeach()

execute_process(COMMAND ${CLI} fit ${SOURCE}/examples/decay.txt --method newton
  RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT status EQUAL 2 OR NOT err MATCHES "--method must be lm or gridless")
  message(FATAL_ERROR "bad options must give exit status 2 (${status}): ${err}")
endif()

# The order of the lines does not matter: a shuffled and a reversed copy of
# the file fit exactly as the file itself, with either method.
set(DATA ${SOURCE}/tests/e2e/data)
foreach(method lm gridless)
  set(reference "")
  foreach(file ${SOURCE}/examples/decay.txt ${DATA}/decay_shuffled.txt ${DATA}/decay_descending.txt)
    execute_process(COMMAND ${CLI} fit ${file} --order 2 --params 0.2,0,3,2,1.5,0.3 --hold 1 --method ${method}
      --max-iter 20000 --json RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "${method} fit of ${file} failed (${status}): ${out}${err}")
    endif()
    string(JSON params GET "${out}" params)
    string(JSON chi GET "${out}" chi_square)
    string(JSON points GET "${out}" points)
    string(JSON converged GET "${out}" converged)
    if(NOT converged OR NOT points EQUAL 201 OR NOT chi GREATER 0 OR NOT chi LESS 1)
      message(FATAL_ERROR "${method} fit of ${file}: converged ${converged}, ${points} points, chi-square ${chi}")
    endif()
    if(reference STREQUAL "")
      set(reference "${params}")
    elseif(NOT params STREQUAL reference)
      message(FATAL_ERROR "${method} fit of ${file} differs from the sorted file's: ${params} vs ${reference}")
    endif()
  endforeach()
endforeach()

# A range holding one point says so; free parameters are not called held.
execute_process(COMMAND ${CLI} fit ${DATA}/decay_shuffled.txt --model Polynomial --order 1 --hold 1,2
  --range 0.04:0.06 RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT out MATCHES "y0 +4\\.39864 +free, no error" OR NOT out MATCHES "x0 .*held"
   OR NOT out MATCHES "holds 1 point for 1 free parameter" OR NOT out MATCHES ", 1 point,")
  message(FATAL_ERROR "one-point range (${status}): ${out}${err}")
endif()
execute_process(COMMAND ${CLI} fit ${DATA}/decay_shuffled.txt --model Polynomial --order 1 --range 0.04:0.06
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 1 OR NOT err MATCHES "holds 1 point, fewer than its 3 free parameters")
  message(FATAL_ERROR "one point for two free parameters must fail (${status}): ${out}${err}")
endif()

# A failed fit reports its reason and no chi-square.
execute_process(COMMAND ${CLI} fit ${DATA}/decay_descending.txt --range 100:200 --json
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(JSON error GET "${out}" error)
string(JSON chiType TYPE "${out}" chi_square)
if(NOT status EQUAL 1 OR NOT error STREQUAL "the fit range 100..200 holds no points" OR NOT chiType STREQUAL "NULL")
  message(FATAL_ERROR "an empty range must fail without a chi-square (${status}): ${out}${err}")
endif()
execute_process(COMMAND ${CLI} fit ${DATA}/decay_descending.txt --range 100:200 --csv
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 1 OR NOT out MATCHES "holds no points,Exponential,1,,,0,false,0")
  message(FATAL_ERROR "an empty range in CSV (${status}): ${out}${err}")
endif()

# A reconvolution fit: the photon-counting example against its measured
# response finds the two lifetimes it was made with (0.8 and 3.5 ns).
execute_process(COMMAND ${CLI} fit ${SOURCE}/examples/photon_decay.txt --convolve-with ${SOURCE}/examples/photon_irf.txt
  --order 2 --params 10,0,10000,1,8000,3 --hold 1 --json RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "reconvolution fit failed (${status}): ${out}${err}")
endif()
string(JSON converged GET "${out}" converged)
string(JSON t0 GET "${out}" params 3)
string(JSON t1 GET "${out}" params 5)
if(NOT converged OR t0 LESS 0.79 OR t0 GREATER 0.81 OR t1 LESS 3.45 OR t1 GREATER 3.55)
  message(FATAL_ERROR "unexpected reconvolution fit (converged ${converged}, t0 ${t0}, t1 ${t1}): ${out}")
endif()

execute_process(COMMAND ${CLI} fit ${SOURCE}/examples/photon_decay.txt --convolve-with missing-response.txt
  RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT status EQUAL 2 OR NOT err MATCHES "--convolve-with missing-response.txt: Couldn't open file missing-response.txt: no such file")
  message(FATAL_ERROR "a missing response must give exit status 2 (${status}): ${err}")
endif()
