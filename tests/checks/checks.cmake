# Checks of the built module and of the sources that need no Wine.
add_test(NAME checks.module_binary
         COMMAND ${CMAKE_SOURCE_DIR}/tests/checks/check-module.sh ${CMAKE_SOURCE_DIR}/build/bin/Tarvix.dll)
add_test(NAME checks.bounded_copies COMMAND ${CMAKE_SOURCE_DIR}/tests/checks/check-bounded-copies.sh)
add_test(NAME checks.bounded_copies_selftest COMMAND ${CMAKE_SOURCE_DIR}/tests/checks/selftest-bounded-copies.sh)
add_test(NAME checks.dist COMMAND ${CMAKE_SOURCE_DIR}/tests/checks/check-dist.sh)
add_test(NAME checks.layers COMMAND ${CMAKE_SOURCE_DIR}/tests/checks/check-layers.sh)
set_tests_properties(checks.module_binary checks.bounded_copies checks.bounded_copies_selftest checks.dist checks.layers
                     PROPERTIES TIMEOUT 300)
