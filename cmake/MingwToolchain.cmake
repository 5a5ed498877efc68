# Included by the toolchain files mingw-i686.cmake and mingw-x86_64.cmake, which set
# TLV_MINGW_TRIPLE: cross-compile Windows executables with that MinGW-w64 toolchain on Linux.
set(CMAKE_SYSTEM_NAME Windows)

# TLV_THREAD_MODEL: posix (the default) gives the standard library std::mutex and std::thread,
# which GoogleTest needs. The release trees build only the shipped programs, which use no
# threads of the standard library, with win32: that links no winpthread into them.
if(NOT TLV_THREAD_MODEL)
  set(TLV_THREAD_MODEL posix)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TLV_THREAD_MODEL)
set(CMAKE_C_COMPILER ${TLV_MINGW_TRIPLE}-gcc-${TLV_THREAD_MODEL})
set(CMAKE_CXX_COMPILER ${TLV_MINGW_TRIPLE}-g++-${TLV_THREAD_MODEL})
set(CMAKE_RC_COMPILER ${TLV_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TLV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
