# The Debian package of the desktop program (scripts/package): /usr/bin/mivo with its menu
# entry, icons, AppStream data and documentation; the libraries it links are found by
# dpkg-shlibdeps, the ones it loads at run time are named here.
install(FILES README.md docs/kezikonyv.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY docs/kepek DESTINATION ${CMAKE_INSTALL_DOCDIR} OPTIONAL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mivo)
set(CPACK_PACKAGE_VENDOR "Mivo")
set(CPACK_PACKAGE_CONTACT "Mivo fejlesztők <fejlesztes@mivo.hu>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Gázkészülék-szerviz irodai programja")
set(CPACK_PACKAGE_DESCRIPTION
    "Szervizigények, a szerelők beosztása, napi munkautasítások és munkalapok, a munkák\n\
dokumentálása, távollétek, külsős szerelők, alkatrészkészlet, levelek és listák egy\n\
gázkészülék-szerviz irodájának. Firebird adatbázissal, egy gépen vagy irodai szerveren.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the Qt database driver and screen
# plugins, Firebird's embedded engine (a DBSERVER that is a file), Qt's Hungarian texts and
# the fonts of the printed reports.
string(JOIN ", " CPACK_DEBIAN_PACKAGE_DEPENDS libqt6sql6-ibase qt6-qpa-plugins
       firebird3.0-server-core qt6-translations-l10n fonts-dejavu-core)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "firebird3.0-utils, xdg-utils")
include(CPack)
