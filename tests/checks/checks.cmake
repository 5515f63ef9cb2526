# Checks of the built module and of the sources that need no Wine.
add_test(NAME checks.module_binary
         COMMAND ${CMAKE_SOURCE_DIR}/tests/checks/check-module.sh ${CMAKE_SOURCE_DIR}/build/bin/Tarvix.dll)
add_test(NAME checks.dist COMMAND ${CMAKE_SOURCE_DIR}/tests/checks/check-dist.sh)
