# One short fuzz run: cmake -DTARGET=... -DSEEDS=... -DWORK=... -DRUNS=... -P smoke-run.cmake
if(NOT EXISTS "${TARGET}")
    message(FATAL_ERROR "${TARGET} is missing: build the fuzz targets first (make fuzz-build)")
endif()
if(NOT IS_DIRECTORY "${SEEDS}")
    message(FATAL_ERROR "No seed corpus at ${SEEDS}")
endif()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/corpus" "${WORK}/artifacts")
file(COPY "${SEEDS}/" DESTINATION "${WORK}/corpus")

execute_process(
    COMMAND "${TARGET}" -runs=${RUNS} -seed=1 -timeout=10
            -artifact_prefix=${WORK}/artifacts/ "${WORK}/corpus"
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${TARGET} failed (${result}); the input is in ${WORK}/artifacts")
endif()
