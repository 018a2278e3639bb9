# The Debian package: `cpack -G DEB` in a build folder makes
# zorbix32_<version>_amd64.deb with everything `cmake --install` installs.
# Its dependencies are computed from the binaries by dpkg-shlibdeps (package
# dpkg-dev). The fonts, the SVG plugin that draws the toolbar pictures and
# Qt's French texts are loaded at run time, not linked, so they are named.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zorbix32)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "zorbix32 <zorbix32@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Lecteur / programmateur de mémoires EEPROM I2C sur port parallèle")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
# The English language file is the administrator's to edit: an upgrade must
# not overwrite it.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/conffiles)
include(CPack)
