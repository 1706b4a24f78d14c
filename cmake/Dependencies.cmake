find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
# Magick++ (ImageMagick 6). Its headers come in as system includes through the
# imported target, so they do not trip our warning flags.
pkg_check_modules(MAGICK REQUIRED IMPORTED_TARGET Magick++)
pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET libavformat libavcodec libavutil)
pkg_check_modules(CURL REQUIRED IMPORTED_TARGET libcurl)
pkg_check_modules(JSONCPP REQUIRED IMPORTED_TARGET jsoncpp)
pkg_check_modules(GLOG REQUIRED IMPORTED_TARGET libglog)

if(BRISKLO_BUILD_GUI)
    find_package(Qt6 REQUIRED COMPONENTS Widgets UiTools Network Test)
    # Asking X11 whether a compositing manager runs (translucent shadows).
    pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
endif()
