# Cross build for 32-bit Windows with Debian's mingw-w64 toolchain, posix
# thread model (g++-mingw-w64-i686-posix). This build makes the product,
# orvoapi.dll, and runs the test suite under wine32, where the interfaces'
# stdcall methods are what the tests and the demo host call:
#   cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake
#   cmake --build build/win32 && ctest --test-dir build/win32
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(ORVO_MINGW_TRIPLE i686-w64-mingw32)
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

# Test programs (and gtest_discover_tests' listing of them) run under wine32
# through scripts/wine-run.sh, in a win32 prefix inside this build directory
# (nothing touches ~/.wine). CMAKE_BINARY_DIR is the top build directory when
# project() reads this file; try_compile projects read it too but never run
# the emulator.
get_filename_component(_orvo_wine_run "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR
    "${_orvo_wine_run};--arch;win32;--prefix;${CMAKE_BINARY_DIR}/wineprefix;--")
