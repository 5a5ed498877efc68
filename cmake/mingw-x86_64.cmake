# Toolchain file: the x64 edition, 64-bit Windows executables (MinGW-w64 x86_64).
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(TLV_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
