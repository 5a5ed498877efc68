# The fuzz tree (TLV_FUZZ, built with clang by scripts/fuzz): libFuzzer targets over portable
# code on the sim platform, with AddressSanitizer and UndefinedBehaviorSanitizer. Every target
# is built into <build>/fuzzers/; scripts/fuzz runs each one over tests/fuzz/corpus/<target>/
# and, when it exists, the dictionary tests/fuzz/<target>.dict.

target_compile_options(tlv_options INTERFACE
  -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
target_link_options(tlv_options INTERFACE -fsanitize=address,undefined)

# tlv_fuzz_target(<name> SOURCES ... [DEPS ...]): one libFuzzer executable.
function(tlv_fuzz_target name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE tlv_options ${ARG_DEPS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzzers)
endfunction()
