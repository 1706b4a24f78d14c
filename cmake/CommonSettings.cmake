# SPDX-License-Identifier: GPL-3.0-or-later
# Compile settings every Brisklo target shares.
add_library(brisklo_settings INTERFACE)
target_compile_features(brisklo_settings INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(brisklo_settings INTERFACE -Wall -Wextra -Wshadow -Wnon-virtual-dtor)
if(BRISKLO_ONLINE)
    set(online 1)
else()
    set(online 0)
endif()
target_compile_definitions(brisklo_settings INTERFACE
    BRISKLO_VERSION="${PROJECT_VERSION}"
    BRISKLO_ONLINE=${online}
    QT_NO_CAST_FROM_ASCII)

# Hardening, the flags Debian's dpkg-buildflags gives with hardening=+all:
# stack protector, fortified C library calls, a read-only relocation table bound
# at start-up, position-independent programs; and the stack clash and control-flow
# protection newer Debian releases add.
option(BRISKLO_HARDENING "Build with the stack protector, _FORTIFY_SOURCE, RELRO and BIND_NOW" ON)
if(BRISKLO_HARDENING)
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
    include(CheckPIESupported)
    check_pie_supported()
    target_compile_options(brisklo_settings INTERFACE -fstack-protector-strong)
    # Stack clash protection and control-flow protection (CET on x86), where the
    # compiler has them; hardening-check asks for both.
    include(CheckCXXCompilerFlag)
    foreach(flag IN ITEMS -fstack-clash-protection -fcf-protection)
        string(MAKE_C_IDENTIFIER "BRISKLO_HAS${flag}" has_flag)
        check_cxx_compiler_flag(${flag} ${has_flag})
        if(${has_flag})
            target_compile_options(brisklo_settings INTERFACE ${flag})
        endif()
    endforeach()
    # _FORTIFY_SOURCE needs the optimiser, and the sanitizers check the same calls
    # themselves (fortified calls would hide them).
    if(NOT CMAKE_BUILD_TYPE STREQUAL "Debug" AND NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize")
        target_compile_options(brisklo_settings INTERFACE -U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2)
    endif()
    target_link_options(brisklo_settings INTERFACE LINKER:-z,relro LINKER:-z,now)
endif()

# Reproducible builds: no build path in the programs (__FILE__ in logging macros,
# debug information); scripts/package turns it on.
option(BRISKLO_REPRODUCIBLE "Map the source and build folders out of the binaries" OFF)
if(BRISKLO_REPRODUCIBLE)
    # The later, more specific mapping wins for files of a build folder inside
    # the source folder.
    target_compile_options(brisklo_settings INTERFACE
        -ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
        -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)
endif()
