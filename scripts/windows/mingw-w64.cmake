# CMake toolchain for 64-bit Windows with Debian's MinGW-w64 (posix thread model, for C++20 threads).
# QRTZ_WIN_PREFIXES (list) names the folders with the Windows builds of Qt and the libraries.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_AR x86_64-w64-mingw32-ar CACHE FILEPATH "")
set(CMAKE_RANLIB x86_64-w64-mingw32-ranlib CACHE FILEPATH "")

if(DEFINED ENV{QRTZ_WIN_PREFIXES})
  set(QRTZ_WIN_PREFIXES "$ENV{QRTZ_WIN_PREFIXES}")
endif()
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${QRTZ_WIN_PREFIXES})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Try-compile projects see the same prefixes.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QRTZ_WIN_PREFIXES)
