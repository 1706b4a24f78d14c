# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a throw-away DESTDIR with the /usr prefix a package
# uses, then checks the installed tree as a desktop would see it: the desktop
# entry and metainfo pass their validators, every file they name is there, and
# both programs run from the installed paths without LD_LIBRARY_PATH.
#
# It also checks what a distribution asks of a package: the version of the build
# in the metainfo, manual pages and --version; gzipped manual pages and changelog;
# the copyright file; the shell completions. Where hardening-check is installed,
# both programs must pass it; where lintian is installed, the Debian package made
# from this build must pass `lintian --pedantic` without errors or warnings.
#
# Arguments: BUILD_DIR, DEST (the throw-away folder), APP_ID, VERSION, HARDENING
# (whether the build is hardened), DESKTOP_FILE_VALIDATE, APPSTREAMCLI, LINTIAN
# and HARDENING_CHECK (empty or *-NOTFOUND when missing).

function(run_checked what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out
                    ERROR_VARIABLE out)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${what} failed (${status}):\n${out}")
    endif()
    message(STATUS "${what}: ok ${out}")
    set(run_output "${out}" PARENT_SCOPE)
endfunction()

# The text of a gzipped file, checked to unpack.
function(read_gzipped path variable)
    execute_process(COMMAND gzip -dc "${path}" RESULT_VARIABLE status OUTPUT_VARIABLE text)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${path}: not gzip data (${status})")
    endif()
    set(${variable} "${text}" PARENT_SCOPE)
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
# Manual pages gzipped, each naming the version of the build.
foreach(page IN ITEMS brisklo.1 brisklo-cli.1)
    set(gz "${usr}/share/man/man1/${page}.gz")
    expect_file("${gz}")
    read_gzipped("${gz}" page_text)
    if(NOT page_text MATCHES "^\\.TH [A-Z-]+ 1 \"[0-9-]+\" \"Brisklo ${VERSION}\"")
        message(FATAL_ERROR "${page}: no .TH line for Brisklo ${VERSION}")
    endif()
endforeach()
file(READ "${metainfo}" meta)
if(NOT meta MATCHES "<release version=\"${VERSION}\"")
    message(FATAL_ERROR "${metainfo}: the newest release is not ${VERSION}")
endif()
if(NOT meta MATCHES "<project_license>GPL-3.0-or-later</project_license>")
    message(FATAL_ERROR "${metainfo}: not GPL-3.0-or-later")
endif()

# The copyright file in the machine-readable format, and the changelog.
set(doc "${usr}/share/doc/brisklo")
file(STRINGS "${doc}/copyright" copyright_format LIMIT_COUNT 1)
if(NOT copyright_format MATCHES "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/")
    message(FATAL_ERROR "${doc}/copyright: not in the machine-readable format")
endif()
read_gzipped("${doc}/changelog.gz" changelog)
if(NOT changelog MATCHES "\n## ${VERSION} ")
    message(FATAL_ERROR "changelog.gz has no entry for ${VERSION}")
endif()

# Shell completions where the shells look for them; bash's loads and registers.
expect_file("${usr}/share/zsh/vendor-completions/_brisklo-cli")
expect_file("${usr}/share/fish/vendor_completions.d/brisklo-cli.fish")
run_checked("bash completion"
    bash -c "source '${usr}/share/bash-completion/completions/brisklo-cli' && complete -p brisklo-cli")
if(NOT run_output MATCHES "-F _brisklo_cli brisklo-cli")
    message(FATAL_ERROR "bash completion registered: ${run_output}")
endif()
expect_file("${usr}/share/brisklo/skin/res.xml")
expect_file("${usr}/share/brisklo/skin/MainWindow.xml")

# The installed programs start on their own: no build-tree library path, no
# run path into the build folder.
foreach(program IN ITEMS brisklo-cli brisklo)
    run_checked("installed ${program} --version"
        ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH ${usr}/bin/${program} --version)
    if(NOT run_output STREQUAL "${program} ${VERSION}\n")
        message(FATAL_ERROR "${program} --version printed: ${run_output}")
    endif()
    if(HARDENING AND HARDENING_CHECK)
        # Not control-flow protection: Debian 12's C start files (Scrt1.o, crti.o)
        # carry no IBT/SHSTK marks, so the linker drops them from every program.
        run_checked("hardening-check ${program}"
            ${HARDENING_CHECK} --nocfprotection ${usr}/bin/${program})
    endif()
endforeach()

# The Debian package of this build, as lintian sees it.
if(LINTIAN)
    set(package_dir "${DEST}/package")
    run_checked("cpack" ${CMAKE_COMMAND} -E chdir ${BUILD_DIR} cpack -G DEB -B ${package_dir})
    file(GLOB debs "${package_dir}/*.deb")
    run_checked("lintian --pedantic" ${LINTIAN} --pedantic --display-info
        --fail-on error,warning ${debs})
    if(run_output MATCHES "(^|\n)[EW]: ")
        message(FATAL_ERROR "lintian errors or warnings:\n${run_output}")
    endif()
endif()
