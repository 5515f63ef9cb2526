# Short runs of every fuzz target, registered with the native test driver.
# The targets come from the fuzz tree (TARVIX_FUZZ_BUILD, built by
# `make fuzz-build`); a missing binary fails its test. Each run works on a
# fresh copy of the seed corpus, so the repository's corpus never grows, and
# uses a fixed seed, so a failure repeats.
set(TARVIX_FUZZ_SMOKE_RUNS 20000 CACHE STRING "Inputs per fuzz target in the test run")

file(GLOB fuzz_target_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/fuzz_*.cpp)
foreach(source IN LISTS fuzz_target_sources)
    get_filename_component(name ${source} NAME_WE)
    add_test(NAME fuzz.${name}
             COMMAND ${CMAKE_COMMAND}
                 -DTARGET=${TARVIX_FUZZ_BUILD}/bin/${name}
                 -DSEEDS=${CMAKE_CURRENT_LIST_DIR}/corpus/${name}
                 -DWORK=${CMAKE_BINARY_DIR}/fuzz-smoke/${name}
                 -DRUNS=${TARVIX_FUZZ_SMOKE_RUNS}
                 -P ${CMAKE_CURRENT_LIST_DIR}/smoke-run.cmake)
    set_tests_properties(fuzz.${name} PROPERTIES TIMEOUT 600 LABELS fuzz)
endforeach()
