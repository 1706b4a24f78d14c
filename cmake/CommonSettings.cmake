# SPDX-License-Identifier: GPL-3.0-or-later
# Compile settings every Brisklo target shares.
add_library(brisklo_settings INTERFACE)
target_compile_features(brisklo_settings INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(brisklo_settings INTERFACE -Wall -Wextra -Wshadow -Wnon-virtual-dtor)
target_compile_definitions(brisklo_settings INTERFACE
    BRISKLO_VERSION="${PROJECT_VERSION}"
    QT_NO_CAST_FROM_ASCII)
