# Cross-building for 64-bit Windows with Debian's MinGW-w64 (the POSIX threads variant, which
# std::thread and friends need):
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_prefix x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_prefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_prefix}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_prefix}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs and tests run under Wine here; a Windows machine runs them as they are. An empty
# SIFTER32_WINE runs nothing under it (Qt's own build, scripts/qt-windows).
if(NOT DEFINED SIFTER32_WINE OR SIFTER32_WINE)
  find_program(SIFTER32_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
endif()
if(SIFTER32_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${SIFTER32_WINE})
endif()
