# Release packages of the Windows build (included by cmake/Win32Targets.cmake):
#   Sablewick-<version>-win32-setup.exe   per-user NSIS installer (makensis, Debian's nsis)
#   Sablewick-<version>-win32.zip         the same files to unpack anywhere writable
# and from the 64-bit build the same as -win64-setup.exe and -win64.zip.
#
#   cmake --build build/win32 --target package       (build/win64 likewise)
#
# The version is the project's, from project(Sablewick VERSION ...) in CMakeLists.txt.
# The installer's script is packaging/NSIS.template.in; tests/e2e/installer_test.sh
# installs and uninstalls it under Wine.

# What a package holds. The exe is built with debug information (RelWithDebInfo); the
# packages get a stripped copy (resources and version stay). strip stamps the PE header
# with the time, so the stamp is fixed: SOURCE_DATE_EPOCH when given, otherwise the time
# of the commit the tree was configured at, and the same build gives the same bytes.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(SABLEWICK_PACKAGE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
    execute_process(COMMAND git log -1 --format=%ct
        WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
        OUTPUT_VARIABLE SABLEWICK_PACKAGE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE _git_status ERROR_QUIET)
    if(NOT _git_status EQUAL 0 OR NOT SABLEWICK_PACKAGE_EPOCH MATCHES "^[0-9]+$")
        set(SABLEWICK_PACKAGE_EPOCH 0)
    endif()
endif()
set(SABLEWICK_PACKED_EXE ${CMAKE_BINARY_DIR}/packaged/Sablewick.exe)
add_custom_command(OUTPUT ${SABLEWICK_PACKED_EXE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaged
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${SABLEWICK_PACKAGE_EPOCH}
            ${CMAKE_STRIP} --strip-all -o ${SABLEWICK_PACKED_EXE} $<TARGET_FILE:Sablewick>
    DEPENDS Sablewick
    COMMENT "Stripping Sablewick.exe for the packages")
add_custom_target(sablewick_packed_exe ALL DEPENDS ${SABLEWICK_PACKED_EXE})
install(PROGRAMS ${SABLEWICK_PACKED_EXE} DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/ReadMe.txt DESTINATION .)

set(CPACK_PACKAGE_NAME "Sablewick")
set(CPACK_PACKAGE_VENDOR "Sablewick project")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Sablewick, a tarot oracle with a Japanese user interface")
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(SABLEWICK_PACKAGE_ARCH win64)
    set(CPACK_SABLEWICK_NSIS_TARGET amd64-unicode)
else()
    set(SABLEWICK_PACKAGE_ARCH win32)
    set(CPACK_SABLEWICK_NSIS_TARGET x86-unicode)
endif()
set(CPACK_PACKAGE_FILE_NAME "Sablewick-${PROJECT_VERSION}-${SABLEWICK_PACKAGE_ARCH}")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Sablewick")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_GENERATOR "NSIS;ZIP")
set(CPACK_SOURCE_GENERATOR "")

# Our own installer script instead of CPack's default, which installs for all users
# into Program Files and asks for administrator rights.
set(CPACK_MODULE_PATH ${CMAKE_SOURCE_DIR}/packaging)
set(CPACK_SABLEWICK_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(CPACK_SABLEWICK_ICON ${CMAKE_SOURCE_DIR}/resources/MAINICON.ico)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/packaging/CPackOptions.cmake)

include(CPack)
