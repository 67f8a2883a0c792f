# Runs the fuzz target for a bounded time on a fresh copy of the seed corpus.
# Inputs: FUZZER, SEEDS, WORK, SECONDS. Fails when libFuzzer reports any
# finding (it exits non-zero and writes the input to WORK/artifacts/).
file(REMOVE_RECURSE "${WORK}/corpus")
file(MAKE_DIRECTORY "${WORK}/corpus" "${WORK}/artifacts")
file(GLOB seeds "${SEEDS}/*")
file(COPY ${seeds} DESTINATION "${WORK}/corpus")
execute_process(
  COMMAND "${FUZZER}" -max_total_time=${SECONDS} -timeout=60 -rss_limit_mb=2048
          -max_len=16384 -print_final_stats=1
          -artifact_prefix=${WORK}/artifacts/ "${WORK}/corpus"
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  file(GLOB found "${WORK}/artifacts/*")
  message(FATAL_ERROR "fuzzing found a fault (exit ${rc}); inputs: ${found}")
endif()
