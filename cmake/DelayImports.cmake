# Delay-import libraries for the system DLLs the programs need from their first window on
# (user32, gdi32, comctl32). Imported statically, they would be loaded before the program's
# first statement, and with them the DLLs they import in turn, found by the search that looks
# in the program's folder first. Delay-imported, they load at their first call, after the
# program has restricted the DLL search to the system folder (SystemLibrary.h).

string(REPLACE "windres" "dlltool" TLV_DLLTOOL "${CMAKE_RC_COMPILER}")
set(TLV_I686 OFF)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(TLV_I686 ON)
endif()

# tlv_delay_import_library(<dll>): the interface library tlv_delay_<dll>, which links the
# delay-import library of <dll>.dll made from MinGW's import library. On i686 it links the
# import library itself: binutils' i386 delay-import thunks lack the relocation of their jump
# to the loading helper (they jump to the next thunk and the program faults), so the x86
# edition imports these known DLLs directly.
function(tlv_delay_import_library dll)
  if(TLV_I686)
    add_library(tlv_delay_${dll} INTERFACE)
    target_link_libraries(tlv_delay_${dll} INTERFACE ${dll})
    return()
  endif()
  set(out ${CMAKE_BINARY_DIR}/delayimp/lib${dll}_delay.a)
  find_file(import_lib lib${dll}.a PATHS ${CMAKE_FIND_ROOT_PATH}/lib NO_DEFAULT_PATH REQUIRED)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/delayimp
    COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DDLLTOOL=${TLV_DLLTOOL} -DIMPORT_LIB=${import_lib} -DDLL=${dll}.dll
            -DOUT=${out} -DI686=${TLV_I686} -P ${PROJECT_SOURCE_DIR}/cmake/MakeDelayLib.cmake
    DEPENDS ${import_lib} ${PROJECT_SOURCE_DIR}/cmake/MakeDelayLib.cmake
    VERBATIM)
  add_custom_target(tlv_delay_${dll}_lib DEPENDS ${out})
  add_library(tlv_delay_${dll} INTERFACE)
  target_link_libraries(tlv_delay_${dll} INTERFACE ${out})
  add_dependencies(tlv_delay_${dll} tlv_delay_${dll}_lib)
  unset(import_lib CACHE)
endfunction()

foreach(dll user32 gdi32 comctl32)
  tlv_delay_import_library(${dll})
endforeach()
