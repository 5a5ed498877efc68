# Compiler settings shared by every target of both build trees.

add_library(tlv_options INTERFACE)
target_include_directories(tlv_options INTERFACE ${PROJECT_SOURCE_DIR})
# Designated initialisers name only the fields they set and leave the rest at their defaults
# on purpose (a log entry names its level, texts and box style), which GCC would flag.
target_compile_options(tlv_options INTERFACE -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wno-missing-field-initializers)
if(TLV_WERROR)
  target_compile_options(tlv_options INTERFACE -Werror)
endif()

if(WIN32)
  # The edition: x86 (the default one users get) or x64. The Wine harness reads it from the
  # tree to pick Wine's loader and the prefix's expectations.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(TLV_EDITION x64)
    set(TLV_MANIFEST_ARCHITECTURE amd64)
  else()
    set(TLV_EDITION x86)
    set(TLV_MANIFEST_ARCHITECTURE x86)
  endif()
  file(WRITE ${CMAKE_BINARY_DIR}/edition "${TLV_EDITION}\n")
  # Windows 7 API level (Wine reports 6.1); ANSI entry points; one static executable
  # that needs no DLL beyond Windows' own.
  target_compile_definitions(tlv_options INTERFACE _WIN32_WINNT=0x0601 WINVER=0x0601)
  target_link_options(tlv_options INTERFACE -static -static-libgcc -static-libstdc++)
  # The shipped programs: each function and datum in a section of its own, so the linker
  # drops what no one calls (most of the static runtime); optimised for size, which costs
  # nothing measurable in programs that wait on the registry, files and the service manager.
  target_compile_options(tlv_options INTERFACE
    $<$<CONFIG:Release>:-Os -ffunction-sections -fdata-sections>)
  target_link_options(tlv_options INTERFACE $<$<CONFIG:Release>:-Wl,--gc-sections>)
elseif(TLV_SANITIZE)
  target_compile_options(tlv_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(tlv_options INTERFACE -fsanitize=address,undefined)
endif()

# tlv_library(<name> SOURCES ... [DEPS ...]): a static library of the project.
function(tlv_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_link_libraries(${name} PUBLIC tlv_options ${ARG_DEPS})
endfunction()
