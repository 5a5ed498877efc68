# Included by the package scripts (cmake -P): tlv_sign(<file>...) signs each file in place
# with osslsigncode (Authenticode, SHA-256) when the environment names a certificate:
# SIGN_PFX (a PKCS#12 file), SIGN_PASSWORD (its password) and, where one is to be used,
# SIGN_TIMESTAMP_URL. Without SIGN_PFX it does nothing; scripts/package says so.
function(tlv_sign)
  if(NOT DEFINED ENV{SIGN_PFX} OR "$ENV{SIGN_PFX}" STREQUAL "")
    return()
  endif()
  find_program(OSSLSIGNCODE osslsigncode REQUIRED)
  # The password goes through a file only its owner reads, never on a command line.
  string(RANDOM LENGTH 12 token)
  set(password_file ${CMAKE_CURRENT_BINARY_DIR}/sign-${token}.pass)
  file(WRITE ${password_file} "$ENV{SIGN_PASSWORD}")
  file(CHMOD ${password_file} PERMISSIONS OWNER_READ OWNER_WRITE)
  set(timestamp "")
  if(NOT "$ENV{SIGN_TIMESTAMP_URL}" STREQUAL "")
    set(timestamp -ts "$ENV{SIGN_TIMESTAMP_URL}")
  endif()
  foreach(file IN LISTS ARGN)
    execute_process(
      COMMAND ${OSSLSIGNCODE} sign -pkcs12 "$ENV{SIGN_PFX}" -readpass ${password_file} -h sha256
        -n TlvAsService ${timestamp} -in ${file} -out ${file}.signed
      RESULT_VARIABLE signed OUTPUT_QUIET)
    if(NOT signed EQUAL 0)
      file(REMOVE ${password_file} ${file}.signed)
      message(FATAL_ERROR "osslsigncode could not sign ${file}")
    endif()
    file(RENAME ${file}.signed ${file})
    message(STATUS "signed: ${file}")
  endforeach()
  file(REMOVE ${password_file})
endfunction()
