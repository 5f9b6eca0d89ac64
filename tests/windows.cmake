# The Windows tree's tests, run under wine. Each start of a program under wine is slow, so
# every test program is one CTest test rather than one per case.
set(SERWIS_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
# A locale whose ANSI code page (1252) has no Polish letters, as on Windows set to another
# language: a file name with them then opens only by its wide path.
set(SERWIS_WINE_ENVIRONMENT "WINEPREFIX=${SERWIS_WINEPREFIX}" "WINEDEBUG=-all" "LC_ALL=C.UTF-8")

# Debian ships GoogleTest as sources; they are built here with the cross compiler, without
# the project's warning flags.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
set_target_properties(gtest gtest_main gmock PROPERTIES COMPILE_OPTIONS "")

# The core's tests, without those that need a pseudo-terminal, the virtual register or the
# HTTPS test server, and without the tests of Linux's own platform files (*_posix_test) and
# the file-fault tests, which fork and limit the file size as only POSIX can, and without
# the workbook tests: the Windows build has no workbooks.
set(sources "${CMAKE_CURRENT_SOURCE_DIR}/update/program_version_test.cpp")
foreach(dir IN ITEMS base comm tables ecr seq verify app windows)
    file(GLOB dir_sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp")
    list(APPEND sources ${dir_sources})
endforeach()
list(FILTER sources EXCLUDE REGEX
     "(_posix|/serial_port_list|/autostart_entry|/window_program_options|/files_under_faults|/xlsx_workbook)_test\\.cpp$")
foreach(source IN LISTS sources)
    file(STRINGS "${source}" needs
         REGEX "#include \"(\\.\\./)?(sim/|support/(pty_pair|register_on_pty|register_state|https_test_server))")
    if(needs)
        list(REMOVE_ITEM sources "${source}")
    endif()
endforeach()

add_executable(core_tests ${sources})
target_include_directories(core_tests PRIVATE "${CMAKE_CURRENT_SOURCE_DIR}")
target_link_libraries(core_tests PRIVATE serwis_core GTest::gtest_main GTest::gmock)
serwis_precompile_headers(core_tests PRIVATE <gtest/gtest.h> <gmock/gmock.h> <string> <vector>)
if(NOT SERWIS_WINE)
    return()
endif()
# The prefix is made once, before the tests that share it start.
add_test(NAME wine_prefix COMMAND "${SERWIS_WINE}" wineboot --init)
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine ENVIRONMENT
                                            "${SERWIS_WINE_ENVIRONMENT}" TIMEOUT 300)
add_test(NAME core_tests COMMAND core_tests)
set_tests_properties(core_tests PROPERTIES FIXTURES_REQUIRED wine ENVIRONMENT
                                           "${SERWIS_WINE_ENVIRONMENT}" TIMEOUT 300)

# kasa.exe against the Linux build's virtual register, through wine's COM5.
set(SERWIS_LINUX_KASA "" CACHE FILEPATH
    "The Linux build's kasa, whose virtual register kasa.exe talks to")
if(SERWIS_LINUX_KASA)
    add_test(NAME kasa_over_wine
             COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/windows/kasa_over_wine_test.sh"
                     "${SERWIS_LINUX_KASA}" $<TARGET_FILE:kasa> "${SERWIS_WINE}")
    set_tests_properties(kasa_over_wine PROPERTIES FIXTURES_REQUIRED wine ENVIRONMENT
                                                   "${SERWIS_WINE_ENVIRONMENT}" TIMEOUT 300)
    add_test(NAME polish_paths_over_wine
             COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/windows/polish_paths_over_wine_test.sh"
                     "${SERWIS_LINUX_KASA}" $<TARGET_FILE:kasa> "${SERWIS_WINE}")
    set_tests_properties(polish_paths_over_wine PROPERTIES FIXTURES_REQUIRED wine ENVIRONMENT
                                                           "${SERWIS_WINE_ENVIRONMENT}" TIMEOUT 300)
endif()
