# Cross build for 64-bit Windows (g++-mingw-w64-x86-64-posix). This build runs
# the test suite under wine64:
#   cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/x86_64-w64-mingw32.cmake
#   cmake --build build/win64 && ctest --test-dir build/win64
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(ORVO_MINGW_TRIPLE x86_64-w64-mingw32)
set(ORVO_WINE_ARCH win64)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake")
