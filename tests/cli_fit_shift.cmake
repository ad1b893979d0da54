# zentrel-cli fit with the response shift: the photon-counting example was
# made with its response in place, so a free shift comes out near 0 within
# its error and the lifetimes stay; the shift is a row of its own in every
# output; a shift held away from 0 fits worse; bad usage is refused.
cmake_policy(SET CMP0054 NEW)
set(decay ${SOURCE}/examples/photon_decay.txt)
set(irf ${SOURCE}/examples/photon_irf.txt)
set(common --convolve-with ${irf} --order 2 --params 10,0,10000,1,8000,3 --hold 1)

execute_process(COMMAND ${CLI} fit ${decay} ${common} --free-shift --json
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "free-shift fit failed (${status}): ${out}${err}")
endif()
string(JSON converged GET "${out}" converged)
string(JSON name GET "${out}" names 6)
string(JSON shiftValue GET "${out}" params 6)
string(JSON shiftError GET "${out}" errors 6)
string(JSON t0 GET "${out}" params 3)
string(JSON t1 GET "${out}" params 5)
string(JSON freeCount GET "${out}" statistics correlation parameters)
if(NOT converged OR NOT name STREQUAL "shift" OR t0 LESS 0.79 OR t0 GREATER 0.81 OR t1 LESS 3.45 OR t1 GREATER 3.55)
  message(FATAL_ERROR "unexpected free-shift fit (converged ${converged}, ${name}, t0 ${t0}, t1 ${t1}): ${out}")
endif()
if(shiftError LESS_EQUAL 0 OR shiftError GREATER 0.002)
  message(FATAL_ERROR "the shift's standard error ${shiftError} is not a small positive number: ${out}")
endif()
# CMake compares decimal numbers but has no arithmetic: |shift| against a
# tenth of a channel (0.00122 x units).
string(REGEX REPLACE "^-" "" magnitude "${shiftValue}")
if(magnitude GREATER 0.00122)
  message(FATAL_ERROR "a response recorded in place came out shifted by ${shiftValue} (+- ${shiftError})")
endif()
if(NOT freeCount MATCHES "shift")
  message(FATAL_ERROR "the correlation matrix leaves out the shift: ${freeCount}")
endif()

# The table has the row too, with its error.
execute_process(COMMAND ${CLI} fit ${decay} ${common} --free-shift
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT out MATCHES "\n  shift +[-0-9.e]+  \\+/- [0-9.e-]+\n")
  message(FATAL_ERROR "the table has no shift row with its error (${status}): ${out}${err}")
endif()

# Held at 3.4 channels (0.04148) the shift is a held row, and the fit is worse
# than with the response in place; without --shift nothing changes.
execute_process(COMMAND ${CLI} fit ${decay} ${common} --json
  RESULT_VARIABLE status OUTPUT_VARIABLE plain ERROR_VARIABLE err)
execute_process(COMMAND ${CLI} fit ${decay} ${common} --shift 0.04148 --json
  RESULT_VARIABLE status OUTPUT_VARIABLE held ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "held-shift fit failed (${status}): ${held}${err}")
endif()
string(JSON plainCount LENGTH "${plain}" names)
string(JSON heldName GET "${held}" names 6)
string(JSON heldShift GET "${held}" params 6)
string(JSON heldError TYPE "${held}" errors 6)
string(JSON plainChi GET "${plain}" chi_square)
string(JSON heldChi GET "${held}" chi_square)
if(NOT plainCount EQUAL 6 OR NOT heldName STREQUAL "shift" OR NOT heldShift EQUAL 0.04148 OR NOT heldError STREQUAL "NULL"
   OR NOT heldChi GREATER plainChi)
  message(FATAL_ERROR "held shift: ${plainCount} names without, ${heldName} ${heldShift} (${heldError}), chi-square "
                      "${heldChi} against ${plainChi}")
endif()

# Bad usage: exit status 2 and the reason.
foreach(case
    "--free-shift;--shift and --free-shift need --convolve-with"
    "--shift;0.1;--shift and --free-shift need --convolve-with"
    "--convolve-with;${irf};--shift;abc;--shift: 'abc' is not a number"
    "--convolve-with;${irf};--shift;inf;--shift: 'inf' is not a number")
  list(POP_BACK case expected)
  execute_process(COMMAND ${CLI} fit ${decay} ${case} RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE err)
  if(NOT status EQUAL 2 OR NOT err MATCHES "${expected}")
    message(FATAL_ERROR "${case}: expected status 2 and '${expected}', got ${status}: ${err}")
  endif()
endforeach()
