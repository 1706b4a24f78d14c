find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
# Magick++ (ImageMagick 6). Its headers come in as system includes through the
# imported target, so they do not trip our warning flags.
pkg_check_modules(MAGICK REQUIRED IMPORTED_TARGET Magick++)
pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET libavformat libavcodec libavutil)
