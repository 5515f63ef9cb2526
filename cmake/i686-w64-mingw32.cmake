# Cross-compiling the 32-bit module and its Windows-side tests with MinGW-w64.
# The posix threading variant gives the tests std::mutex (GoogleTest needs it);
# the module links its runtime statically and imports only system DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(TARVIX_TRIPLET i686-w64-mingw32)
set(CMAKE_C_COMPILER   ${TARVIX_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARVIX_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER  ${TARVIX_TRIPLET}-windres)
set(CMAKE_DLLTOOL      ${TARVIX_TRIPLET}-dlltool)

set(CMAKE_FIND_ROOT_PATH /usr/${TARVIX_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/win32/wine-env.sh;run)
