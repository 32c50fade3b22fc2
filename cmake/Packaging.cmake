# Installing Tessary as a desktop program, and its Debian package.
#
#   make install [PREFIX=...]   the program, its menu entry (which also offers it in the file
#                               managers' "Open With" for files and folders), its icon and help
#   make package                build/tessary_VERSION_amd64.deb, for apt install ./FILE
include(GNUInstallDirs)

install(TARGETS tessary RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/tessary.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/images/TessaryLogo.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME tessary.svg)
# The help that "Support..." opens.
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tessary)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessary)
set(CPACK_PACKAGE_VENDOR "The Tessary developers")
set(CPACK_PACKAGE_CONTACT "The Tessary developers <tessary@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Zip, protect and deliver files with a drop")
set(CPACK_PACKAGE_DESCRIPTION
    "Tessary lives on the desktop as a small drop pad. Files dropped on it become a zip archive, \
optionally protected by a password, delivered to the Desktop, a folder, an e-mail, a phone, a cloud \
folder or an FTP server.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The libraries it links are found by dpkg-shlibdeps; what it runs or loads is named here: the
# tools it drives and a font to write with.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "zip, curl, xdg-utils, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "gnome-keyring, kdeconnect")
include(CPack)
