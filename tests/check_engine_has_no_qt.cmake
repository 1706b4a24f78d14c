# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a source of the engine (core, video, image, net), the batch session or
# the command line includes a Qt or a ui/ header.
file(GLOB_RECURSE engine_files
    ${SOURCE_DIR}/core/* ${SOURCE_DIR}/video/* ${SOURCE_DIR}/image/* ${SOURCE_DIR}/net/*
    ${SOURCE_DIR}/batch/*
    ${SOURCE_DIR}/cli/*)
set(offenders "")
foreach(f IN LISTS engine_files)
    file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Za-z]|qt|ui/|app/|dialogs/)")
    if(lines)
        list(APPEND offenders "${f}: ${lines}")
    endif()
endforeach()
if(offenders)
    string(REPLACE ";" "\n" msg "${offenders}")
    message(FATAL_ERROR "engine files include Qt or UI headers:\n${msg}")
endif()
list(LENGTH engine_files n)
message(STATUS "checked ${n} engine files: no Qt")
