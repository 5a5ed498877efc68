# GoogleTest for both trees and tlv_test(), which registers a test executable with CTest.
# Native tests run directly; the MinGW tree's tests run under Wine through the emulator
# script, inside an Xvfb session that the wine.<edition>.session fixture starts and stops.
# Wine test names carry the edition (wine.x86.*, wine.x64.*), so one ctest run can hold both.

if(WIN32)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      "${PROJECT_SOURCE_DIR}/scripts/wine-exec;--build;${CMAKE_BINARY_DIR}")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL)
  set(TLV_GTEST_MAIN gtest_main gmock)
else()
  find_package(GTest REQUIRED)
  set(TLV_GTEST_MAIN GTest::gtest_main GTest::gmock)
endif()

# tlv_test(<name> SOURCES ... [DEPS ...] [TIMEOUT seconds])
function(tlv_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE tlv_options ${ARG_DEPS} ${TLV_GTEST_MAIN})
  if(WIN32)
    set(test_name wine.${TLV_EDITION}.${name})
  else()
    set(test_name native.${name})
  endif()
  if(TLV_VALGRIND AND NOT WIN32)
    # Any memcheck report fails the test: invalid accesses, uninitialised values, and memory
    # that was lost for good (still-reachable blocks of the C++ runtime are not reports).
    add_test(NAME ${test_name} COMMAND valgrind --quiet --error-exitcode=99 --leak-check=full
             --errors-for-leak-kinds=definite,indirect --show-leak-kinds=definite,indirect
             $<TARGET_FILE:${name}> --gtest_color=no)
  else()
    add_test(NAME ${test_name} COMMAND ${name} --gtest_color=no)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${test_name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  if(WIN32)
    # One Wine prefix, one registry and one service database per edition: an edition's Wine
    # tests run one at a time. The two editions' trees have a prefix, wineserver and display
    # each, so their suites run beside each other; they mostly wait on services, windows and
    # deadlines, and the checks that run beside them do so at the idle scheduling class.
    set_tests_properties(${test_name} PROPERTIES
      FIXTURES_REQUIRED wine_session_${TLV_EDITION} RESOURCE_LOCK wine_${TLV_EDITION})
  endif()
endfunction()

# The native tree's ctest also runs the MinGW tree's Wine tests when that tree exists,
# so one ctest run reports both (not the Valgrind tree, which runs the native tests only).
if(NOT WIN32 AND NOT TLV_VALGRIND)
  set(TLV_MINGW_BUILD_DIRS "${CMAKE_BINARY_DIR}/../mingw;${CMAKE_BINARY_DIR}/../mingw64"
      CACHE STRING "MinGW build trees (one per edition) whose tests ctest includes")
  set(include_trees "")
  foreach(tree IN LISTS TLV_MINGW_BUILD_DIRS)
    string(APPEND include_trees
      "if(EXISTS \"${tree}/CTestTestfile.cmake\")\n  subdirs(\"${tree}\")\nendif()\n")
  endforeach()
  file(WRITE "${CMAKE_BINARY_DIR}/IncludeWineTests.cmake" "${include_trees}")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${CMAKE_BINARY_DIR}/IncludeWineTests.cmake")
endif()

# tlv_contract_test(<name> SOURCES ... [DEPS ...]): a suite written once against
# tests/contract/TestMachine.h, built as <name>_sim natively and <name>_win32 under MinGW.
function(tlv_contract_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;DEPS" ${ARGN})
  if(WIN32)
    set(exe ${name}_win32)
  else()
    set(exe ${name}_sim)
  endif()
  tlv_test(${exe} SOURCES ${ARG_SOURCES} DEPS tlv_test_machine ${ARG_DEPS} TIMEOUT ${ARG_TIMEOUT})
endfunction()
