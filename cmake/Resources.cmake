# The resources every shipped executable carries: a version resource from the project's
# version and an application manifest with the rights it asks for. Both come from the one
# template pair in cmake/resources/.

# tlv_windows_resources(<target> DESCRIPTION <text>
#                       EXECUTION_LEVEL <asInvoker|requireAdministrator> [WINDOW] [VERSION <a.b.c>])
# WINDOW: a program with a window: common controls version 6 and system DPI awareness.
# VERSION: another version than the project's (the tests' stand-ins for other releases).
function(tlv_windows_resources target)
  cmake_parse_arguments(ARG "WINDOW" "DESCRIPTION;EXECUTION_LEVEL;VERSION" "" ${ARGN})
  if(ARG_VERSION)
    set(PROJECT_VERSION ${ARG_VERSION})
    string(REPLACE "." ";" parts ${ARG_VERSION})
    list(GET parts 0 PROJECT_VERSION_MAJOR)
    list(GET parts 1 PROJECT_VERSION_MINOR)
    list(GET parts 2 PROJECT_VERSION_PATCH)
  endif()
  if(NOT ARG_EXECUTION_LEVEL MATCHES "^(asInvoker|requireAdministrator)$")
    message(FATAL_ERROR "tlv_windows_resources(${target}): EXECUTION_LEVEL asInvoker or requireAdministrator")
  endif()
  get_target_property(TLV_RES_NAME ${target} OUTPUT_NAME)
  if(NOT TLV_RES_NAME)
    set(TLV_RES_NAME ${target})
  endif()
  set(TLV_RES_DESCRIPTION "${ARG_DESCRIPTION}")
  set(TLV_RES_EXECUTION_LEVEL "${ARG_EXECUTION_LEVEL}")
  set(TLV_RES_WINDOW_PARTS "")
  if(ARG_WINDOW)
    string(CONCAT TLV_RES_WINDOW_PARTS
      "  <dependency>\n"
      "    <dependentAssembly>\n"
      "      <assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""
      " processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>\n"
      "    </dependentAssembly>\n"
      "  </dependency>\n"
      "  <application xmlns=\"urn:schemas-microsoft-com:asm.v3\">\n"
      "    <windowsSettings>\n"
      "      <dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>\n"
      "    </windowsSettings>\n"
      "  </application>\n")
  endif()

  set(out ${CMAKE_CURRENT_BINARY_DIR}/resources/${TLV_RES_NAME})
  set(TLV_RES_MANIFEST ${out}.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/resources/Executable.manifest.in ${TLV_RES_MANIFEST} @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/resources/Executable.rc.in ${out}.rc @ONLY)
  target_sources(${target} PRIVATE ${out}.rc)
  # windres does not see the manifest as a dependency of the .rc.
  set_source_files_properties(${out}.rc PROPERTIES OBJECT_DEPENDS ${TLV_RES_MANIFEST})
endfunction()

# tlv_message_table(<target> <file.mc>): compiles an event log message table with windmc and
# links its resource into the executable; its header (the message ids) is on the target's
# include path.
function(tlv_message_table target mc_file)
  string(REPLACE "windres" "windmc" windmc "${CMAKE_RC_COMPILER}")
  get_filename_component(name ${mc_file} NAME_WE)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/messages)
  add_custom_command(
    OUTPUT ${out}/${name}.rc ${out}/${name}.h ${out}/MSG00001.bin
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
    COMMAND ${windmc} -r ${out} -h ${out} ${CMAKE_CURRENT_SOURCE_DIR}/${mc_file}
    DEPENDS ${mc_file}
    VERBATIM)
  target_sources(${target} PRIVATE ${out}/${name}.rc ${out}/${name}.h)
  target_include_directories(${target} PRIVATE ${out})
endfunction()
