# Script mode (cmake -P), run by the target release_msi (and by the package's Wine test for
# the releases it installs over the shipped one): builds MSI with wixl from the configured
# template WXS for ARCH (x86 or x64), of release VERSION (major.minor.patch), holding the
# files of PAYLOAD_DIR. WIXL is the wixl program. The package is signed when a certificate is
# named (cmake/SignFiles.cmake).
include(${CMAKE_CURRENT_LIST_DIR}/SignFiles.cmake)

if(NOT WIXL)
  message(FATAL_ERROR "wixl not found (scripts/setup installs it)")
endif()
if(NOT VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
  message(FATAL_ERROR "the package's version '${VERSION}' is not major.minor.patch")
endif()
# The smallest version above this one: the bound of the Upgrade table's row that removes
# every release up to this one (wixl 0.101 cannot make a maximum inclusive). Windows
# Installer compares the first three fields.
math(EXPR next_patch "${CMAKE_MATCH_3} + 1")
set(next_version ${CMAKE_MATCH_1}.${CMAKE_MATCH_2}.${next_patch})

file(REMOVE ${MSI})
# wixl 0.101 finds a Source file only by a path relative to its working folder.
execute_process(
  COMMAND ${WIXL} --arch ${ARCH} -D Version=${VERSION} -D NextVersion=${next_version} -o ${MSI} ${WXS}
  WORKING_DIRECTORY ${PAYLOAD_DIR}
  RESULT_VARIABLE built)
if(NOT built EQUAL 0 OR NOT EXISTS ${MSI})
  message(FATAL_ERROR "wixl could not build ${MSI}")
endif()
tlv_sign(${MSI})
message(STATUS "package: ${MSI}")
