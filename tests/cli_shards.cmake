# A batch fitted as three shards, the way docs/batch.md runs it under GNU
# parallel or a job array: each shard writes its CSV rows to a file of its
# own with --output (the first with the header, the others with --no-header),
# and the files joined in shard order equal the single run's table, row for
# row.
set(files ${SOURCE}/examples/decay.txt ${SOURCE}/tests/e2e/data/decay_shuffled.txt
          ${SOURCE}/tests/e2e/data/decay_descending.txt ${SOURCE}/examples/decay.txt
          ${SOURCE}/tests/e2e/data/decay_descending.txt ${SOURCE}/tests/e2e/data/decay_shuffled.txt)
set(fit --order 2 --params 0,0,1,1,1,0.1 --hold 1 --csv)
file(MAKE_DIRECTORY ${WORKDIR})

execute_process(COMMAND ${CLI} fit ${files} ${fit} --threads 2 RESULT_VARIABLE status OUTPUT_VARIABLE single
  ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the single run failed (${status}): ${err}")
endif()

list(SUBLIST files 0 2 shard1)
list(SUBLIST files 2 2 shard2)
list(SUBLIST files 4 2 shard3)
execute_process(COMMAND ${CLI} fit ${shard1} ${fit} --output ${WORKDIR}/shard1.csv RESULT_VARIABLE s1)
execute_process(COMMAND ${CLI} fit ${shard2} ${fit} --no-header --output ${WORKDIR}/shard2.csv RESULT_VARIABLE s2)
execute_process(COMMAND ${CLI} fit ${shard3} ${fit} --no-header --output ${WORKDIR}/shard3.csv RESULT_VARIABLE s3)
if(NOT s1 EQUAL 0 OR NOT s2 EQUAL 0 OR NOT s3 EQUAL 0)
  message(FATAL_ERROR "a shard failed: ${s1} ${s2} ${s3}")
endif()
file(READ ${WORKDIR}/shard1.csv joined)
file(READ ${WORKDIR}/shard2.csv part)
string(APPEND joined "${part}")
file(READ ${WORKDIR}/shard3.csv part)
string(APPEND joined "${part}")
if(NOT joined STREQUAL single)
  message(FATAL_ERROR "the joined shards differ from the single run:\n${joined}\n---\n${single}")
endif()
string(REGEX MATCHALL "\n" lines "${single}")
list(LENGTH lines count)
if(NOT count EQUAL 7)
  message(FATAL_ERROR "expected a header and six rows, got ${count} lines:\n${single}")
endif()

# A failed write names the file and leaves nothing behind.
execute_process(COMMAND ${CLI} fit ${shard1} ${fit} --output ${WORKDIR}/no-such-folder/out.csv
  RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status EQUAL 1 OR NOT err MATCHES "--output .*no-such-folder/out.csv")
  message(FATAL_ERROR "an unwritable --output must fail with its name (${status}): ${err}")
endif()
