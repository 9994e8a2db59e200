# Runs one fuzzer a fixed number of times with a fixed seed, from a copy of its seed folder
# (libFuzzer adds the inputs it finds to the folder it is given; the committed seeds stay as
# they are). Called by CTest: cmake -DFUZZER=... -DCORPUS=... -DWORK=... -DRUNS=... -DMAX_LEN=...
#   -DSUPPRESSIONS=... -P run_fuzzer.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/corpus")
file(GLOB seeds "${CORPUS}/*")
if(NOT seeds)
  message(FATAL_ERROR "no seeds in ${CORPUS}")
endif()
file(COPY ${seeds} DESTINATION "${WORK}/corpus")
set(ENV{ASAN_OPTIONS} "detect_leaks=1:abort_on_error=0")
set(ENV{UBSAN_OPTIONS} "print_stacktrace=1:halt_on_error=1")
set(ENV{LSAN_OPTIONS} "suppressions=${SUPPRESSIONS}")
execute_process(
  COMMAND "${FUZZER}" -runs=${RUNS} -seed=1 -max_len=${MAX_LEN} -timeout=30 -rss_limit_mb=2048
          -print_final_stats=1 "-artifact_prefix=${WORK}/" "${WORK}/corpus"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (${status}); the input that failed is in ${WORK}/")
endif()
