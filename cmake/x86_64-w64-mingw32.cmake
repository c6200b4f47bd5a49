# Cross build for 64-bit Windows with Debian's mingw-w64 toolchain, posix
# thread model (g++-mingw-w64-x86-64-posix). This build runs the test suite
# under wine64:
#   cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/x86_64-w64-mingw32.cmake
#   cmake --build build/win64 && ctest --test-dir build/win64
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(ORVO_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${ORVO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${ORVO_MINGW_TRIPLE}-windres)
set(CMAKE_AR           /usr/bin/${ORVO_MINGW_TRIPLE}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       /usr/bin/${ORVO_MINGW_TRIPLE}-ranlib CACHE FILEPATH "")
set(CMAKE_OBJDUMP      /usr/bin/${ORVO_MINGW_TRIPLE}-objdump CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${ORVO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs (and gtest_discover_tests' listing of them) run under wine64
# through scripts/wine-run.sh, which keeps a wine prefix inside this build
# directory (nothing touches ~/.wine) and needs neither a display nor stdin.
# CMAKE_BINARY_DIR is the top build directory when project() reads this file;
# try_compile projects read it too but never run the emulator.
get_filename_component(_orvo_wine_run "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR
    "${_orvo_wine_run};--arch;win64;--prefix;${CMAKE_BINARY_DIR}/wineprefix;--")
