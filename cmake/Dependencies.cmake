# SPDX-License-Identifier: GPL-3.0-or-later
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
# Magick++ (ImageMagick 6). Its headers come in as system includes through the
# imported target, so they do not trip our warning flags.
pkg_check_modules(MAGICK REQUIRED IMPORTED_TARGET Magick++)
# Palette reduction (libimagequant), palette PNG writing (libpng) and GIF
# animations decoded and encoded frame by frame (giflib, which has no pkg-config file).
pkg_check_modules(IMAGEQUANT REQUIRED IMPORTED_TARGET imagequant)
pkg_check_modules(LIBPNG REQUIRED IMPORTED_TARGET libpng)
# Inflating a PNG's compressed text chunks up to a bound before any decoder sees them.
pkg_check_modules(ZLIB REQUIRED IMPORTED_TARGET zlib)
# JPEG decoding and encoding (libjpeg-turbo, through its libjpeg API).
pkg_check_modules(LIBJPEG REQUIRED IMPORTED_TARGET libjpeg)
# Colour profiles: photos in Display P3 or Adobe RGB are converted to sRGB.
pkg_check_modules(LCMS2 REQUIRED IMPORTED_TARGET lcms2)
find_path(GIF_INCLUDE_DIR gif_lib.h REQUIRED)
find_library(GIF_LIBRARY gif REQUIRED)
add_library(brisklo_giflib INTERFACE)
target_include_directories(brisklo_giflib SYSTEM INTERFACE ${GIF_INCLUDE_DIR})
target_link_libraries(brisklo_giflib INTERFACE ${GIF_LIBRARY})
pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET libavformat libavcodec libavutil libswscale)
if(BRISKLO_ONLINE)
    # The update check, installer download and feedback: HTTP through libcurl,
    # the SHA-256 of a downloaded installer through libcrypto.
    pkg_check_modules(CURL REQUIRED IMPORTED_TARGET libcurl)
    pkg_check_modules(LIBCRYPTO REQUIRED IMPORTED_TARGET libcrypto)
endif()
pkg_check_modules(JSONCPP REQUIRED IMPORTED_TARGET jsoncpp)
pkg_check_modules(GLOG REQUIRED IMPORTED_TARGET libglog)

if(BRISKLO_BUILD_GUI)
    set(qt_components Widgets UiTools Network DBus)
    if(BRISKLO_BUILD_TESTS)
        list(APPEND qt_components Test)
    endif()
    find_package(Qt6 REQUIRED COMPONENTS ${qt_components})
    # Asking X11 whether a compositing manager runs (translucent shadows).
    pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
endif()
