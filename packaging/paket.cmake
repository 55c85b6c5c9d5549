# What the Debian package installs beside the program, and how CPack builds
# it: `cpack -G DEB` in a configured build folder (paket.sh does it all).
include(GNUInstallDirs)
# Installing and packaging take what was built and build nothing themselves:
# paket.sh builds just the program first, and the package test must not
# start building every test and benchmark.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(REIZWERK_ID io.github.kartenhof.Reizwerk)
set(REIZWERK_HOMEPAGE https://github.com/kartenhof/reizwerk)
# The screenshot is the README's picture, taken from the repository.
set(REIZWERK_SCREENSHOT https://raw.githubusercontent.com/kartenhof/reizwerk/main/docs/teilnehmer.png)
set(REIZWERK_DATUM 2026-12-06) # of this version's release

install(TARGETS reizwerk RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The service module, where the program looks for it from its own folder
# (storage/nachladen.cpp): a private module, so no ldconfig script.
install(TARGETS reizwerk_dienste LIBRARY DESTINATION ${REIZWERK_MODULORDNER})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/${REIZWERK_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${CMAKE_CURRENT_LIST_DIR}/${REIZWERK_ID}.metainfo.xml.in ${CMAKE_BINARY_DIR}/${REIZWERK_ID}.metainfo.xml
  @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${REIZWERK_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(groesse 16 22 24 32 48 64 128 256)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/reizwerk-${groesse}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${groesse}x${groesse}/apps RENAME ${REIZWERK_ID}.png)
endforeach()
install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/reizwerk.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${REIZWERK_ID}.svg)
# Debian keeps manual pages compressed, without a time stamp in the archive.
configure_file(${CMAKE_CURRENT_LIST_DIR}/reizwerk.1.in ${CMAKE_BINARY_DIR}/reizwerk.1 @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/reizwerk.1.gz
  COMMAND gzip -9nc ${CMAKE_BINARY_DIR}/reizwerk.1 > ${CMAKE_BINARY_DIR}/reizwerk.1.gz
  DEPENDS ${CMAKE_BINARY_DIR}/reizwerk.1 VERBATIM)
add_custom_target(handbuchseite ALL DEPENDS ${CMAKE_BINARY_DIR}/reizwerk.1.gz)
install(FILES ${CMAKE_BINARY_DIR}/reizwerk.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME reizwerk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Kartenhof)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Skat-Spieltage eines Vereins ausrichten")
set(CPACK_PACKAGE_DESCRIPTION
  "Reizwerk runs a Skat club's match day on the organiser's computer: roster,\n\
groups and series, seating draws, points and costs, printed lists, and a\n\
ranking over many match days. Companion apps at the tables send results over\n\
the local network. The user interface is German.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kartenhof <reizwerk@kartenhof.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${REIZWERK_HOMEPAGE})
# The libraries the program links come from dpkg-shlibdeps; the SQLite
# driver is a Qt plugin and the German Qt texts are data, so no linker sees them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt5sql5-sqlite, qttranslations5-l10n")
# No maintainer scripts: removing the package leaves every user's data
# folder and settings as they are.
include(CPack)
