# Registers every cross-built Wine test (tests/win32/*_test.cpp) with the
# native CTest run. One Xvfb display and one Wine prefix serve them all; the
# fixture starts them before the first test and stops them after the last.
# A program's CodePage* suites run twice more: as a UTF-8 host (65001) and
# under a Western locale (1252); wine.<name> runs everything under 932.
set(WINE_ENV ${CMAKE_SOURCE_DIR}/tests/win32/wine-env.sh)
include(${CMAKE_SOURCE_DIR}/tests/win32/code_pages.cmake)

function(tarvix_add_wine_test test exe locale code_page)
    add_test(NAME ${test} COMMAND ${WINE_ENV} run ${TARVIX_WIN32_BUILD}/tests/win32/${exe}.exe --gtest_brief=1 ${ARGN}
             WORKING_DIRECTORY ${TARVIX_WIN32_BUILD}/tests/win32)
    set_tests_properties(${test} PROPERTIES
        FIXTURES_REQUIRED wine RESOURCE_LOCK wine TIMEOUT 900
        ENVIRONMENT "TARVIX_DLL=${CMAKE_SOURCE_DIR}/build/bin/Tarvix.dll;TARVIX_WINE_LOCALE=${locale};TARVIX_EXPECTED_ACP=${code_page}")
endfunction()

# Time limits far above any seen run (a new prefix under qemu takes about a
# minute), so that a hang fails within minutes.
add_test(NAME wine.start COMMAND ${WINE_ENV} start)
set_tests_properties(wine.start PROPERTIES FIXTURES_SETUP wine RESOURCE_LOCK wine TIMEOUT 900)
add_test(NAME wine.stop COMMAND ${WINE_ENV} stop)
set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP wine RESOURCE_LOCK wine TIMEOUT 120)

file(GLOB wine_test_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/*_test.cpp)
foreach(source IN LISTS wine_test_sources)
    get_filename_component(name ${source} NAME_WE)
    # The *Pictures suites only take the user's guide's pictures, when
    # TARVIX_PICTURES names a folder (they test nothing): not in the run.
    tarvix_add_wine_test(wine.${name} ${name} ja_JP.UTF-8 932 --gtest_filter=-*Pictures*)
    tarvix_has_code_page_suites(${source} has_code_pages)
    if(has_code_pages)
        tarvix_add_wine_test(wine.${name}.cp65001 ${name}_utf8 ja_JP.UTF-8 65001 --gtest_filter=${TARVIX_CODE_PAGE_FILTER})
        tarvix_add_wine_test(wine.${name}.cp1252 ${name} en_US.UTF-8 1252 --gtest_filter=${TARVIX_CODE_PAGE_FILTER})
    endif()
endforeach()
