# Installing the native program in its XDG places, and the .deb package made by CPack:
#   bin/sablewick
#   share/applications/org.sablewick.Sablewick.desktop   (named for its application id)
#   share/icons/hicolor/NxN/apps/sablewick.png           (each picture of MAINICON.ico)
# `cmake --build BUILD --target package` writes BUILD/packages/sablewick_<version>_<arch>.deb.
include(GNUInstallDirs)

pkg_check_modules(PIXBUF QUIET IMPORTED_TARGET gdk-pixbuf-2.0)
add_executable(sablewick_make_icons ${CMAKE_SOURCE_DIR}/packaging/linux/MakeIcons.cpp)
target_link_libraries(sablewick_make_icons PRIVATE PkgConfig::PIXBUF)
set(SABLEWICK_ICON_DIR ${CMAKE_BINARY_DIR}/icons/hicolor)
add_custom_command(OUTPUT ${SABLEWICK_ICON_DIR}/48x48/apps/sablewick.png
    COMMAND sablewick_make_icons ${CMAKE_SOURCE_DIR}/resources/MAINICON.ico ${SABLEWICK_ICON_DIR}
    DEPENDS sablewick_make_icons ${CMAKE_SOURCE_DIR}/resources/MAINICON.ico
    COMMENT "Desktop icons from MAINICON.ico")
add_custom_target(sablewick_icons ALL DEPENDS ${SABLEWICK_ICON_DIR}/48x48/apps/sablewick.png)

install(TARGETS sablewick RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/linux/org.sablewick.Sablewick.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${SABLEWICK_ICON_DIR} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sablewick)
set(CPACK_PACKAGE_VENDOR "Sablewick")
set(CPACK_PACKAGE_CONTACT "Sablewick <sablewick@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tarot fortune telling with a Japanese user interface")
set(CPACK_PACKAGE_DESCRIPTION "Type a wish into the box and draw one of 49 illustrated cards.
The same wish gives the same card for a while; every card drawn joins a collection.")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# SDL is loaded at the first sound rather than linked, so the library scan cannot see it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl2-2.0-0")
# Japanese text needs a CJK font; the program runs, with boxes for text, without one.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-ipafont-gothic")
set(CPACK_STRIP_FILES ON)
include(CPack)
