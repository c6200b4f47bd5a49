# What the two Windows toolchain files share: Debian's mingw-w64 compilers of
# the posix thread model for ORVO_MINGW_TRIPLE, their sysroot, and test
# programs (and gtest_discover_tests' listing of them) run under wine of
# ORVO_WINE_ARCH through scripts/wine-run.sh, in a prefix inside the build
# directory (nothing touches ~/.wine; neither a display nor stdin is needed).
# CMAKE_BINARY_DIR is the top build directory when project() reads this file;
# try_compile projects read it too but never run the emulator.
set(CMAKE_SYSTEM_NAME Windows)

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

get_filename_component(_orvo_wine_run "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR
    "${_orvo_wine_run};--arch;${ORVO_WINE_ARCH};--prefix;${CMAKE_BINARY_DIR}/wineprefix;--")
