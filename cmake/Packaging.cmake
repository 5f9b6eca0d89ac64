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

# The manual page and the document examples come from kasa itself, so they cannot disagree
# with it; a cross build cannot run kasa and goes without them.
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
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Odczyt, edycja, sprawdzanie i zapis baz danych kas (towary, opakowania, klawisze, "
    "kasjerzy, rabaty, dopłaty, formy płatności), nagłówka, stawek VAT i zegara; odczyt "
    "pamięci fiskalnej; program okienkowy serwis-kas i polecenie kasa z wirtualną kasą.")
set(CPACK_PACKAGE_CONTACT "Zespół serwis-kas <serwis-kas@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${PROJECT_SOURCE_DIR}/packaging/postinst")
include(CPack)
