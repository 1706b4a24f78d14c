find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET libavformat libavcodec libavutil)

if(BRISKLO_BUILD_GUI)
    find_package(Qt6 REQUIRED COMPONENTS Widgets UiTools Test)
    # Asking X11 whether a compositing manager runs (translucent shadows).
    pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
endif()
