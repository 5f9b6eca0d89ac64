# What `cmake --install` puts on a shop computer, and the .deb that CPack makes of it.
include(GNUInstallDirs)

install(TARGETS kasa RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(SERWIS_BUILD_GUI)
    install(TARGETS serwis-kas RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES "${PROJECT_SOURCE_DIR}/packaging/serwis-kas.desktop"
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES "${PROJECT_SOURCE_DIR}/packaging/serwis-kas.svg"
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# What Debian policy asks of every package: the copyright notice and the changelog,
# compressed, in the package's documentation folder.
install(FILES "${PROJECT_SOURCE_DIR}/packaging/copyright" DESTINATION ${CMAKE_INSTALL_DOCDIR})
set(changelog "${PROJECT_BINARY_DIR}/changelog.Debian.gz")
add_custom_command(
    OUTPUT "${changelog}"
    COMMAND gzip -n -9 -c "${PROJECT_SOURCE_DIR}/packaging/changelog" > "${changelog}"
    DEPENDS "${PROJECT_SOURCE_DIR}/packaging/changelog"
    COMMENT "Dziennik zmian pakietu")
add_custom_target(package_changelog ALL DEPENDS "${changelog}")
install(FILES "${changelog}" DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES "${PROJECT_SOURCE_DIR}/packaging/lintian-overrides"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME serwis-kas)

# The manual pages and the document examples come from the programs themselves, so they
# cannot disagree with them; a cross build cannot run them and goes without.
if(NOT CMAKE_CROSSCOMPILING AND SERWIS_BUILD_GUI)
    set(windowManpage "${PROJECT_BINARY_DIR}/serwis-kas.1")
    add_custom_command(
        OUTPUT "${windowManpage}.gz"
        COMMAND "${PROJECT_SOURCE_DIR}/scripts/serwis-kas-manpage.sh" $<TARGET_FILE:serwis-kas>
                "${windowManpage}"
        COMMAND gzip -n -9 -f "${windowManpage}"
        DEPENDS serwis-kas "${PROJECT_SOURCE_DIR}/scripts/serwis-kas-manpage.sh"
        COMMENT "Strona podręcznika serwis-kas")
    add_custom_target(serwis_kas_manpage ALL DEPENDS "${windowManpage}.gz")
    install(FILES "${windowManpage}.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
if(NOT CMAKE_CROSSCOMPILING)
    set(manpage "${PROJECT_BINARY_DIR}/kasa.1")
    set(examples "${PROJECT_BINARY_DIR}/przyklady")
    add_custom_command(
        OUTPUT "${manpage}.gz" "${examples}/przyklad01.txt"
        COMMAND "${PROJECT_SOURCE_DIR}/scripts/kasa-manpage.sh" $<TARGET_FILE:kasa> "${manpage}"
        COMMAND gzip -n -9 -f "${manpage}"
        COMMAND "${PROJECT_SOURCE_DIR}/scripts/kasa-examples.sh" $<TARGET_FILE:kasa> "${examples}"
        DEPENDS kasa "${PROJECT_SOURCE_DIR}/scripts/kasa-manpage.sh"
                "${PROJECT_SOURCE_DIR}/scripts/kasa-examples.sh"
        COMMENT "Strona podręcznika i przykłady dokumentów z kasa")
    add_custom_target(kasa_documents ALL DEPENDS "${manpage}.gz" "${examples}/przyklad01.txt")
    install(FILES "${manpage}.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(DIRECTORY "${examples}/"
            DESTINATION ${CMAKE_INSTALL_DOCDIR}/przyklady)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME serwis-kas)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Program serwisowy kas fiskalnych Zen i Vesper")
# Lines of the long description stay under 80 columns, as Debian policy asks.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Odczyt, edycja, sprawdzanie i zapis baz danych kas (towary, opakowania,\n"
    "klawisze, kasjerzy, rabaty, dopłaty, formy płatności), nagłówka, stawek VAT\n"
    "i zegara; odczyt pamięci fiskalnej; program okienkowy serwis-kas i polecenie\n"
    "kasa z wirtualną kasą.")
set(CPACK_PACKAGE_CONTACT "Serwis Kas <serwis-kas@serwis-kas.pl>")
# The Debian revision of this packaging; packaging/changelog names the same version.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${PROJECT_SOURCE_DIR}/packaging/postinst")
include(CPack)
