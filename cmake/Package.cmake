# The release package of this tree's edition: dist/TlvAsService-<version>-<edition>/ and its
# zip, holding exactly the three shipped executables, stripped, and the user guide with
# Windows line ends. Built by the target release_package (scripts/package builds it in a
# Release tree per edition).

set(TLV_PACKAGE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-${TLV_EDITION})
set(TLV_PACKAGE_DIR ${PROJECT_SOURCE_DIR}/dist)
# The guide in the repository has LF line ends; the shipped one has CR LF for Notepad.
configure_file(${PROJECT_SOURCE_DIR}/docs/UserGuide.txt ${CMAKE_BINARY_DIR}/package/UserGuide.txt
  @ONLY NEWLINE_STYLE CRLF)

add_custom_target(release_package
  COMMAND ${CMAKE_COMMAND}
    -DPACKAGE_DIR=${TLV_PACKAGE_DIR}
    -DPACKAGE_NAME=${TLV_PACKAGE_NAME}
    -DSTRIP=${CMAKE_STRIP}
    "-DFILES=$<TARGET_FILE:TlvAsService>;$<TARGET_FILE:instsrv>;$<TARGET_FILE:srvany>;${CMAKE_BINARY_DIR}/package/UserGuide.txt"
    -P ${PROJECT_SOURCE_DIR}/cmake/MakePackage.cmake
  DEPENDS TlvAsService instsrv srvany ${CMAKE_BINARY_DIR}/package/UserGuide.txt
  VERBATIM)
