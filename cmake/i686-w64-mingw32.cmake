# Cross build for 32-bit Windows (g++-mingw-w64-i686-posix). This build makes
# the product, orvoapi.dll, and runs the test suite under wine32, where the
# interfaces' stdcall methods are what the tests and the demo host call:
#   cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake
#   cmake --build build/win32 && ctest --test-dir build/win32
set(CMAKE_SYSTEM_PROCESSOR x86)
set(ORVO_MINGW_TRIPLE i686-w64-mingw32)
set(ORVO_WINE_ARCH win32)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake")
