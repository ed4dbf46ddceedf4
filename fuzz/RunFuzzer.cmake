# Runs a libFuzzer binary for SECONDS over a fresh copy of SEEDS in WORK.
# Usage: cmake -DFUZZER=... -DSEEDS=... -DWORK=... [-DDICT=...] [-DSECONDS=60] -P RunFuzzer.cmake
if(NOT SECONDS)
  set(SECONDS 60)
endif()
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus ${WORK}/artifacts)
file(GLOB seeds ${SEEDS}/*)
file(COPY ${seeds} DESTINATION ${WORK}/corpus)

set(args -max_total_time=${SECONDS} -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
         -artifact_prefix=${WORK}/artifacts/)
if(DICT)
  list(APPEND args -dict=${DICT})
endif()
# The target writes each input to a file under TMPDIR: keep it in WORK.
set(ENV{TMPDIR} ${WORK})
execute_process(COMMAND ${FUZZER} ${args} ${WORK}/corpus RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (${result}); inputs in ${WORK}/artifacts")
endif()
