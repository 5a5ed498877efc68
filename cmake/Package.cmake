# The release package of this tree's edition: dist/TlvAsService-<version>-<edition>/ and its
# zip, holding exactly the three shipped executables, stripped, the user guide and the fleet's
# scripts (fleet/, with the release stamped in) with Windows line ends, built by the target
# release_package, which also puts the scripts beside the packages in dist/; and the Windows Installer package
# dist/TlvAsService-<version>-<edition>.msi made by wixl from that folder, built by the target
# release_msi (scripts/package builds both in a Release tree per edition).

set(TLV_PACKAGE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-${TLV_EDITION})
set(TLV_PACKAGE_DIR ${PROJECT_SOURCE_DIR}/dist)
# The user guide is README's administrator part, with CR LF line ends for Notepad.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/package/UserGuide.txt
  COMMAND ${CMAKE_COMMAND} -DREADME=${PROJECT_SOURCE_DIR}/README.md -DVERSION=${PROJECT_VERSION}
    -DGUIDE=${CMAKE_BINARY_DIR}/package/UserGuide.txt -P ${PROJECT_SOURCE_DIR}/cmake/MakeUserGuide.cmake
  DEPENDS ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/cmake/MakeUserGuide.cmake
  VERBATIM)

set(TLV_FLEET_SCRIPTS ${PROJECT_SOURCE_DIR}/fleet/deploy-orbittender.cmd ${PROJECT_SOURCE_DIR}/fleet/remove-orbittender.cmd
    ${PROJECT_SOURCE_DIR}/fleet/detect-orbittender.ps1)
add_custom_target(release_package
  COMMAND ${CMAKE_COMMAND}
    -DPACKAGE_DIR=${TLV_PACKAGE_DIR}
    -DPACKAGE_NAME=${TLV_PACKAGE_NAME}
    -DSTRIP=${CMAKE_STRIP}
    -DVERSION=${PROJECT_VERSION}
    "-DFILES=$<TARGET_FILE:TlvAsService>;$<TARGET_FILE:instsrv>;$<TARGET_FILE:srvany>;${CMAKE_BINARY_DIR}/package/UserGuide.txt"
    "-DSCRIPTS=${TLV_FLEET_SCRIPTS}"
    -P ${PROJECT_SOURCE_DIR}/cmake/MakePackage.cmake
  DEPENDS TlvAsService instsrv srvany ${CMAKE_BINARY_DIR}/package/UserGuide.txt ${TLV_FLEET_SCRIPTS}
  VERBATIM)

# The Windows Installer package. Each edition is a product of its own: its upgrade code never
# changes, so that a newer package of the edition replaces the older one, and the other
# edition's package is left alone. The component codes are fixed per edition and file.
find_program(TLV_WIXL wixl)
if(TLV_EDITION STREQUAL x64)
  set(TLV_MSI_UPGRADE_CODE 2C266E4B-6834-4267-9112-4AB1BBF2CD8D)
  set(TLV_MSI_PROGRAM_FILES ProgramFiles64Folder)
  set(TLV_MSI_WIN64 yes)
else()
  set(TLV_MSI_UPGRADE_CODE A354CF90-64AC-40F3-B3AA-41B90B1E0370)
  set(TLV_MSI_PROGRAM_FILES ProgramFilesFolder)
  set(TLV_MSI_WIN64 no)
endif()
foreach(component Utility Instsrv Srvany Guide)
  string(UUID TLV_MSI_GUID_${component} NAMESPACE ${TLV_MSI_UPGRADE_CODE} NAME ${component} TYPE SHA1 UPPER)
endforeach()
set(TLV_MSI_WXS ${CMAKE_BINARY_DIR}/package/TlvAsService.wxs)
configure_file(${PROJECT_SOURCE_DIR}/cmake/TlvAsService.wxs.in ${TLV_MSI_WXS} @ONLY)

add_custom_target(release_msi
  COMMAND ${CMAKE_COMMAND}
    -DWIXL=${TLV_WIXL}
    -DARCH=${TLV_EDITION}
    -DWXS=${TLV_MSI_WXS}
    -DVERSION=${PROJECT_VERSION}
    -DPAYLOAD_DIR=${TLV_PACKAGE_DIR}/${TLV_PACKAGE_NAME}
    -DMSI=${TLV_PACKAGE_DIR}/${TLV_PACKAGE_NAME}.msi
    -P ${PROJECT_SOURCE_DIR}/cmake/MakeMsi.cmake
  VERBATIM)
# Made from the folder that release_package lays out.
add_dependencies(release_msi release_package)
