# Registers every cross-built Wine test (tests/win32/*_test.cpp) with the
# native CTest run. One Xvfb display and one Wine prefix serve them all; the
# fixture starts them before the first test and stops them after the last.
set(WINE_ENV ${CMAKE_SOURCE_DIR}/tests/win32/wine-env.sh)

add_test(NAME wine.start COMMAND ${WINE_ENV} start)
set_tests_properties(wine.start PROPERTIES FIXTURES_SETUP wine RESOURCE_LOCK wine)
add_test(NAME wine.stop COMMAND ${WINE_ENV} stop)
set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP wine RESOURCE_LOCK wine)

file(GLOB wine_test_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/*_test.cpp)
foreach(source IN LISTS wine_test_sources)
    get_filename_component(name ${source} NAME_WE)
    set(exe ${TARVIX_WIN32_BUILD}/tests/win32/${name}.exe)
    add_test(NAME wine.${name} COMMAND ${WINE_ENV} run ${exe} --gtest_brief=1
             WORKING_DIRECTORY ${TARVIX_WIN32_BUILD}/tests/win32)
    set_tests_properties(wine.${name} PROPERTIES
        FIXTURES_REQUIRED wine RESOURCE_LOCK wine TIMEOUT 900
        ENVIRONMENT "TARVIX_DLL=${CMAKE_SOURCE_DIR}/build/bin/Tarvix.dll")
endforeach()
