# Toolchain file: cross-compile 32-bit Windows executables with MinGW-w64 on Linux.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

# TLV_THREAD_MODEL: posix (the default) gives the standard library std::mutex and std::thread,
# which GoogleTest needs. The release trees build only the shipped programs, which use no
# threads of the standard library, with win32: that links no winpthread into them.
if(NOT TLV_THREAD_MODEL)
  set(TLV_THREAD_MODEL posix)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TLV_THREAD_MODEL)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-${TLV_THREAD_MODEL})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${TLV_THREAD_MODEL})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
