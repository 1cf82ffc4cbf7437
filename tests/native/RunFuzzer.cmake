# Runs one libFuzzer executable for a fixed time, as a ctest entry:
#   cmake -DFUZZER=exe -DSEEDS=dir -DWORK=dir -P RunFuzzer.cmake
# It starts from a fresh copy of the seed corpus in an emptied WORK, so that
# what it finds never lands in the repository. The run lasts PLIX_FUZZ_SECONDS
# seconds (15 when unset); a crash leaves its input in WORK and fails.
if(DEFINED ENV{PLIX_FUZZ_SECONDS})
  set(seconds $ENV{PLIX_FUZZ_SECONDS})
else()
  set(seconds 15)
endif()
if(NOT seconds MATCHES "^[1-9][0-9]*$")
  message(FATAL_ERROR "PLIX_FUZZ_SECONDS must be a whole number of seconds, not '${seconds}'")
endif()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus)
file(GLOB seeds ${SEEDS}/*)
file(COPY ${seeds} DESTINATION ${WORK}/corpus)

execute_process(
  COMMAND ${FUZZER} ${WORK}/corpus -max_total_time=${seconds} -artifact_prefix=${WORK}/ -print_final_stats=1
  WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (${result}); the input that failed is in ${WORK}")
endif()
