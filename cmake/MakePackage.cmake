# Script mode (cmake -P), run by the target release_package: lays out
# PACKAGE_DIR/PACKAGE_NAME/ from FILES and SCRIPTS, strips the program there, signs the
# executables when a certificate is named (cmake/SignFiles.cmake) and zips the folder's files
# into PACKAGE_DIR/PACKAGE_NAME.zip. The scripts get the release VERSION in place of
# @TLV_VERSION@ and Windows line ends, and a copy in PACKAGE_DIR beside the packages. Anything
# an earlier package left is removed first.
include(${CMAKE_CURRENT_LIST_DIR}/SignFiles.cmake)

set(folder ${PACKAGE_DIR}/${PACKAGE_NAME})
set(zip ${PACKAGE_DIR}/${PACKAGE_NAME}.zip)
file(REMOVE_RECURSE ${folder})
file(REMOVE ${zip})
file(MAKE_DIRECTORY ${folder})

set(names "")
foreach(file IN LISTS FILES)
  get_filename_component(name ${file} NAME)
  file(COPY_FILE ${file} ${folder}/${name})
  # The tools are stripped when linked: they ship byte for byte as built, the bytes whose
  # digests the program carries.
  if(name STREQUAL "TlvAsService.exe")
    execute_process(COMMAND ${STRIP} --strip-all ${folder}/${name} RESULT_VARIABLE stripped)
    if(NOT stripped EQUAL 0)
      message(FATAL_ERROR "could not strip ${name}")
    endif()
  endif()
  list(APPEND names ${name})
endforeach()

foreach(script IN LISTS SCRIPTS)
  get_filename_component(name ${script} NAME)
  file(READ ${script} text)
  string(REPLACE "@TLV_VERSION@" "${VERSION}" text "${text}")
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${folder}/${name} "${text}")
  file(WRITE ${PACKAGE_DIR}/${name} "${text}")
  list(APPEND names ${name})
endforeach()

# Signing adds a signature and leaves the Authenticode digests, which the program carries, as
# they were.
set(executables ${names})
list(FILTER executables INCLUDE REGEX "\\.exe$")
list(TRANSFORM executables PREPEND ${folder}/)
tlv_sign(${executables})

# Each program's size budget, the same in both editions: a package above one is not made, so
# that a library pulled in unawares (iostreams and locales weigh about 900 KB) is seen at once.
# TlvAsService.exe is 402 KiB in the x86 edition with the service account choices (361 KiB
# before them).
foreach(budget IN ITEMS "TlvAsService.exe=450" "srvany.exe=300" "instsrv.exe=200")
  string(REPLACE "=" ";" budget ${budget})
  list(GET budget 0 name)
  list(GET budget 1 kib)
  file(SIZE ${folder}/${name} bytes)
  math(EXPR used "(${bytes} + 1023) / 1024")
  message(STATUS "package: ${name} ${used} KiB of its ${kib} KiB")
  if(used GREATER kib)
    message(FATAL_ERROR "${name} is ${used} KiB, above its budget of ${kib} KiB")
  endif()
endforeach()

execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip -- ${names}
  WORKING_DIRECTORY ${folder} RESULT_VARIABLE zipped)
if(NOT zipped EQUAL 0)
  message(FATAL_ERROR "could not write ${zip}")
endif()
message(STATUS "package: ${zip}")
