# The Windows build: the core and kasa only. Left out because they have no counterpart
# here: the window program and "kasa drukuj" (Qt), printing's barcodes (libzint), the
# upgrade check (libcurl, libsodium), the virtual register with "kasa symulator"
# (pseudo-terminals), and Excel workbooks (libxlsxwriter, libzip and expat are not built for
# the cross compiler). kasa says so when such a command or file is asked for. The print
# layout's settings are plain C++ and belong to the settings file.
set(CORE_SUBSYSTEMS base comm tables ecr seq verify app)
set(CORE_SOURCES "${CMAKE_CURRENT_SOURCE_DIR}/update/program_version.cpp"
                 "${CMAKE_CURRENT_SOURCE_DIR}/print/print_parameters.cpp")
foreach(sub IN LISTS CORE_SUBSYSTEMS)
    file(GLOB sub_sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${sub}/*.cpp")
    list(APPEND CORE_SOURCES ${sub_sources})
endforeach()
list(FILTER CORE_SOURCES EXCLUDE REGEX "/app/window_program_options\\.cpp$")
list(APPEND CORE_SOURCES "${CMAKE_CURRENT_SOURCE_DIR}/tables/xlsx/xlsx_workbook_absent.cpp")
file(GLOB PLATFORM_SOURCES CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*/platform/windows/*.cpp")
set(CLI_PLATFORM_SOURCES ${PLATFORM_SOURCES})
list(FILTER PLATFORM_SOURCES EXCLUDE REGEX "/cli/platform/")
list(FILTER CLI_PLATFORM_SOURCES INCLUDE REGEX "/cli/platform/")

add_library(serwis_core STATIC ${CORE_SOURCES} ${PLATFORM_SOURCES})
target_include_directories(serwis_core PUBLIC "${CMAKE_CURRENT_SOURCE_DIR}")
# Wide-character Win32 calls, and no min/max macros from windows.h.
target_compile_definitions(serwis_core PUBLIC UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN)
find_package(Threads REQUIRED)
target_link_libraries(serwis_core PUBLIC Threads::Threads advapi32 ws2_32)
set_source_files_properties("${CMAKE_CURRENT_SOURCE_DIR}/update/program_version.cpp"
    PROPERTIES COMPILE_DEFINITIONS "SERWIS_VERSION=\"${PROJECT_VERSION}\"")

file(GLOB CLI_SOURCES CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/cli/*.cpp")
list(FILTER CLI_SOURCES EXCLUDE REGEX "/cli/(main|print_command|simulator_command|fault_option)\\.cpp$")
add_library(serwis_cli STATIC ${CLI_SOURCES} ${CLI_PLATFORM_SOURCES})
target_link_libraries(serwis_cli PUBLIC serwis_core)
# The manifest makes UTF-8 the program's ANSI code page (see kasa.manifest).
add_executable(kasa cli/main.cpp cli/platform/windows/kasa.rc)
target_link_libraries(kasa PRIVATE serwis_cli)
