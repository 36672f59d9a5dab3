# Read by cpack once per generator (CPACK_PROJECT_CONFIG_FILE): the installer is told
# apart from the zip by its name, and the zip unpacks into a folder of its own,
# Sablewick-<version>-win32\ or -win64\ (the installer has its own target folder).
if(CPACK_GENERATOR STREQUAL "NSIS")
    set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
endif()
