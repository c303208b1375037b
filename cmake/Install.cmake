# Where `cmake --install` puts the programs and their desktop files, and the Debian package.
include(GNUInstallDirs)

set(ZL_APP_ID org.zerlinwizard.zlgen)
set(ZL_DATA_DIR ${PROJECT_SOURCE_DIR}/data)

install(TARGETS zlgen-cli zlgen-export RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${ZL_DATA_DIR}/zlgen-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(TARGET zlgen)
    install(TARGETS zlgen RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${ZL_DATA_DIR}/${ZL_APP_ID}.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    install(FILES ${ZL_DATA_DIR}/${ZL_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${ZL_DATA_DIR}/${ZL_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# cpack -G DEB: the shared libraries' packages come from dpkg-shlibdeps; the Qt plug-ins the
# desktop program loads at run time (the X11 platform ships with libqt6gui6, the SVG icon
# engine with libqt6svg6) are named here.
set(CPACK_PACKAGE_NAME zlgen)
set(CPACK_PACKAGE_VENDOR "Zerlin Wizard developers")
set(CPACK_PACKAGE_CONTACT "Zerlin Wizard developers <zlgen@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "generates code that rebuilds the schema of an Access database")
set(CPACK_PACKAGE_DESCRIPTION
    "Opens a Microsoft Access database (.mdb, .accdb) read-only and generates a Visual Basic \
module or SQL data-definition scripts that rebuild the chosen tables, QueryDefs, fields and \
indexes elsewhere. Desktop program zlgen and command-line program zlgen-cli.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET zlgen)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
endif()
include(CPack)
