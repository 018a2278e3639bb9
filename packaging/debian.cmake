# The Debian packages: `cpack -G DEB` in a build folder makes two of them from
# what `cmake --install` installs, one per install component:
#   zorbix32-cli  the command-line programmer and its man page, with no Qt at
#                 all, for a machine with no display;
#   zorbix32      the window, its man page, desktop entry, icon, Intel HEX MIME
#                 type and language file (every install rule that names no
#                 component lands here).
# zorbix32 only recommends zorbix32-cli: the window never runs the command
# line, but the two used to be one package, and apt installing recommended
# packages keeps the command line for those who upgrade.
#
# Debian wants the binaries built with its hardening flags (dpkg-buildflags,
# given to cmake by scripts/test_debian_package.sh and the README), stripped
# (CPACK_STRIP_FILES: the debug symbols stay out of the package), and a
# copyright file and a changelog in each package's documentation folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zorbix32)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(version_debian ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})

# Whoever builds the package names themself, as for Debian's own tools.
if(DEFINED ENV{DEBFULLNAME} AND DEFINED ENV{DEBEMAIL})
  set(mainteneur "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
else()
  set(mainteneur "Projet zorbix32 <paquets@zorbix32.invalid>")
endif()
set(ZORBIX_MAINTAINER "${mainteneur}" CACHE STRING "The packages' maintainer, as Name <address>")
set(CPACK_PACKAGE_CONTACT "${ZORBIX_MAINTAINER}")

set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL zorbix32 zorbix32-cli)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE zorbix32)
set(CPACK_DEBIAN_PACKAGE_SECTION non-free/electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_ZORBIX32-CLI_PACKAGE_NAME zorbix32-cli)
set(CPACK_DEBIAN_ZORBIX32-CLI_DESCRIPTION
    "programmateur de mémoires EEPROM I2C en ligne de commande
zorbix32-cli lit, programme et compare une mémoire EEPROM série I2C
(PCF8582, 24C00 à 24C512) sur un adaptateur passif du port parallèle, sans
fenêtre, depuis un script : les mêmes opérations sur le bus que la fenêtre
zorbix32, dans le même ordre. Il lit et écrit le binaire brut et l'Intel HEX,
vérifie la mémoire après la programmation, cherche l'adaptateur sur les ports
LPT1 à LPT3 et sur ceux d'une carte PCI, et peut travailler sur un adaptateur
simulé (ZORBIX_SIMULATION).

Ce paquet ne dépend ni de Qt ni d'un affichage.")
# The command line and its man page used to be in the package zorbix32.
set(CPACK_DEBIAN_ZORBIX32-CLI_PACKAGE_BREAKS "zorbix32 (<< ${version_debian})")
set(CPACK_DEBIAN_ZORBIX32-CLI_PACKAGE_REPLACES "zorbix32 (<< ${version_debian})")

# The fonts, the SVG plugin that draws the toolbar pictures and Qt's French
# texts are loaded at run time, not linked, so they are named.
set(CPACK_DEBIAN_ZORBIX32_PACKAGE_NAME zorbix32)
set(CPACK_DEBIAN_ZORBIX32_DESCRIPTION
    "lecteur / programmateur de mémoires EEPROM I2C sur port parallèle
zorbix32 lit, programme et compare les mémoires EEPROM série I2C (PCF8582,
24C00 à 24C512) sur un adaptateur passif du port parallèle, que le programme
alimente ; il conduit lui-même le bus I2C. L'image de la mémoire
s'affiche en hexadécimal et en caractères ; on la remplit, la transforme, la
modifie octet par octet, et on la charge ou l'enregistre en binaire brut ou en
Intel HEX. Une fenêtre de test du port, le schéma de l'adaptateur et une aide
l'accompagnent. Ses textes sont en français.

Le programmateur en ligne de commande est dans le paquet zorbix32-cli.")
set(CPACK_DEBIAN_ZORBIX32_PACKAGE_DEPENDS "fonts-liberation, libqt6svg6")
set(CPACK_DEBIAN_ZORBIX32_PACKAGE_RECOMMENDS "zorbix32-cli (= ${version_debian}), qt6-translations-l10n")
# The English language file is the administrator's to edit: an upgrade must
# not overwrite it.
set(CPACK_DEBIAN_ZORBIX32_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/conffiles)

# Each package's copyright file and changelog, the package's own (plain
# `cmake --install` leaves them out). The changelog's first entry must be the
# version built.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/changelog entete LIMIT_COUNT 1)
if(NOT entete MATCHES "^zorbix32 \\(${version_debian}\\) ")
  message(FATAL_ERROR "packaging/changelog does not start with version ${version_debian}: ${entete}")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.Debian @ONLY)
foreach(paquet zorbix32 zorbix32-cli)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${paquet}
          COMPONENT ${paquet} EXCLUDE_FROM_ALL)
  zorbix_install_gzip(${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.Debian ${CMAKE_INSTALL_DATADIR}/doc/${paquet}
                      ${paquet} EXCLUDE_FROM_ALL)
endforeach()
include(CPack)
