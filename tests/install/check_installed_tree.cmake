# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a throw-away DESTDIR with the /usr prefix a package
# uses, then checks the installed tree as a desktop would see it: the desktop
# entry and metainfo pass their validators, every file they name is there, and
# both programs run from the installed paths without LD_LIBRARY_PATH.
#
# Arguments: BUILD_DIR, DEST (the throw-away folder), APP_ID,
# DESKTOP_FILE_VALIDATE, APPSTREAMCLI.

function(run_checked what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out
                    ERROR_VARIABLE out)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${what} failed (${status}):\n${out}")
    endif()
    message(STATUS "${what}: ok ${out}")
    set(run_output "${out}" PARENT_SCOPE)
endfunction()

function(expect_file path)
    if(NOT EXISTS "${path}")
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endfunction()

file(REMOVE_RECURSE "${DEST}")
run_checked("cmake --install"
    ${CMAKE_COMMAND} -E env DESTDIR=${DEST}
    ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr)
set(usr "${DEST}/usr")
set(desktop "${usr}/share/applications/${APP_ID}.desktop")
set(metainfo "${usr}/share/metainfo/${APP_ID}.metainfo.xml")

run_checked("desktop-file-validate" ${DESKTOP_FILE_VALIDATE} ${desktop})
run_checked("appstreamcli validate" ${APPSTREAMCLI} validate --no-net ${metainfo})

# What the entry names must be installed under those names.
file(READ "${desktop}" entry)
if(NOT entry MATCHES "\nExec=brisklo %F\n" OR NOT entry MATCHES "\nIcon=${APP_ID}\n")
    message(FATAL_ERROR "${desktop}: unexpected Exec or Icon line")
endif()
expect_file("${usr}/share/icons/hicolor/scalable/apps/${APP_ID}.svg")
foreach(size IN ITEMS 16 32 48 64 128 256)
    expect_file("${usr}/share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png")
endforeach()
expect_file("${usr}/share/man/man1/brisklo.1")
expect_file("${usr}/share/man/man1/brisklo-cli.1")
expect_file("${usr}/share/brisklo/skin/res.xml")
expect_file("${usr}/share/brisklo/skin/MainWindow.xml")

# The installed programs start on their own: no build-tree library path, no
# run path into the build folder.
foreach(program IN ITEMS brisklo-cli brisklo)
    run_checked("installed ${program} --version"
        ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH ${usr}/bin/${program} --version)
    if(NOT run_output MATCHES "^${program} [0-9]+\\.[0-9]+\\.[0-9]+")
        message(FATAL_ERROR "${program} --version printed: ${run_output}")
    endif()
endforeach()
