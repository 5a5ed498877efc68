# Toolchain file: the x86 edition, 32-bit Windows executables (MinGW-w64 i686).
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TLV_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
