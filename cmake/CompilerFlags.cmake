# Flags shared by every target of the project.
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
                    -Woverloaded-virtual -Wimplicit-fallthrough)
if(SERWIS_WERROR)
    add_compile_options(-Werror)
endif()
# GCC 12 at -O3 reports false overlaps in the standard library's string concatenation.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    add_compile_options(-Wno-restrict)
endif()
# GCC 12 loses the system-header status of the standard library read from a precompiled
# header and then reports its known false bounds and overflow errors in string copies.
function(serwis_precompile_headers target)
    target_precompile_headers(${target} ${ARGN})
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(${target} PRIVATE -Wno-array-bounds -Wno-stringop-overflow
                                                 -Wno-stringop-overread)
    endif()
endfunction()
if(SERWIS_SANITIZE)
    # GCC 12 reports false "maybe uninitialized" warnings inside the standard library when
    # the sanitizers instrument optimised code.
    # -O1 and line tables only: the checking tree is built on every run of the tests, and
    # its reports need no more than file and line to point at a fault.
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined -Wno-maybe-uninitialized -O1 -g1)
    add_link_options(-fsanitize=address,undefined)
endif()
# The hardening Debian asks of the programs a shop computer runs: checked buffer functions,
# stack guards, and a read-only relocation table resolved at start. The sanitizers and the
# fuzzers bring checks of their own and stay without; Windows has its own linker.
option(SERWIS_HARDEN "Build with the hardening flags of a Debian package" ON)
if(SERWIS_HARDEN AND NOT SERWIS_SANITIZE AND NOT SERWIS_FUZZ AND NOT WIN32)
    # The checked functions need optimisation, which a Debug build goes without.
    add_compile_options(-fstack-protector-strong $<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE>
                        $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
    add_link_options(-Wl,-z,relro,-z,now)
endif()
