# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package (scripts/package OUTDIR makes it). The shared libraries the
# programs link are found by dpkg-shlibdeps; what they run or load without linking
# it is named here: the encoder program and Qt's platform plugins.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brisklo)
set(CPACK_PACKAGE_VENDOR Brisklo)
set(CPACK_PACKAGE_CONTACT "${BRISKLO_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_RELEASE ${BRISKLO_PACKAGE_REVISION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "batch compressor for video and image files")
set(CPACK_PACKAGE_DESCRIPTION [=[
Brisklo compresses videos (re-encoded to H.264/AAC by ffmpeg, one at a time)
and JPEG, PNG, BMP and animated GIF images (three at a time) in batches, and
shows the new size and the share saved. Outputs never overwrite a file.

It has a desktop program, brisklo, and a command-line program, brisklo-cli.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The programs are stripped by the DEB generator itself, which moves their debug
# symbols to brisklo-dbgsym (a .ddeb beside the .deb), found by the programs'
# build ids (CPACK_STRIP_FILES would strip them before and leave no symbols).
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://brisklo.app)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "ffmpeg")
if(BRISKLO_BUILD_GUI)
    # qt6-translations-l10n: Qt's own texts (file choosers, standard buttons) in
    # the user's language.
    string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", qt6-qpa-plugins, qt6-translations-l10n")
    # The interface is in Chinese; without a CJK font its texts are boxes.
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
        "fonts-noto-cjk | fonts-wqy-microhei | fonts-wqy-zenhei, xdg-utils")
endif()
include(CPack)
