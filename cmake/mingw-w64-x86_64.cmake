# Cross-build for 64-bit Windows with MinGW-w64 (POSIX threads flavour); tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Packages of the target only: the build machine's GoogleTest, for one, would not link.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The tests run through scripts/wine-run.sh, which starts a program again only when Wine failed to
# start it at all.
find_program(ORVENDAL_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(ORVENDAL_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
endif()
