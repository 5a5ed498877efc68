# Script mode (cmake -P), run by tlv_delay_import_library: makes a delay-import library for
# DLL from MinGW's import library IMPORT_LIB: a .def of every function it imports (read with
# NM), then DLLTOOL --output-delaylib. On i686 the stdcall names keep their @n in the
# symbols and lose it in the names imported (--kill-at), as in the import library itself.
execute_process(COMMAND ${NM} ${IMPORT_LIB} OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} could not read ${IMPORT_LIB}")
endif()
string(REGEX MATCHALL "[0-9a-fA-F]+ I __imp_[^\n]+" entries "${symbols}")
set(def "LIBRARY ${DLL}\nEXPORTS\n")
foreach(entry IN LISTS entries)
  string(REGEX REPLACE "^[0-9a-fA-F]+ I __imp_" "" name "${entry}")
  if(I686)
    string(REGEX REPLACE "^_" "" name "${name}")  # the C symbol's leading underscore
  endif()
  string(APPEND def "${name}\n")
endforeach()
file(WRITE ${OUT}.def "${def}")
set(kill_at "")
if(I686)
  set(kill_at --kill-at)
endif()
execute_process(COMMAND ${DLLTOOL} --input-def ${OUT}.def --dllname ${DLL} ${kill_at} --output-delaylib ${OUT}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${DLLTOOL} could not make ${OUT}")
endif()
