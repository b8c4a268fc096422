# Checks the include lines of the project's sources against its layers. A file is judged by the
# folder it stands in; the table below says which folders of ours each may include and how much
# of Qt it may use:
#
#   folder      may include                                          Qt
#   crypt/      crypt/                                               none
#   checksums/  checksums/ crypt/                                    none
#   hashing/    hashing/ checksums/ crypt/                           none
#   tools/      tools/ crypt/                                        Core
#   pipeline/   pipeline/ hashing/ checksums/ tools/ crypt/          Core
#   desktop/    desktop/ tools/ crypt/                               any
#   cli/        cli/ pipeline/ hashing/ checksums/ tools/ crypt/     Core
#   gui/        gui/ desktop/ pipeline/ hashing/ checksums/ tools/ crypt/   any
#   cmake/      tools/                                               Core
#   tests/ fuzz/ bench/   anything of ours                           any
#
# Every project include names its folder from the repository's top folder ("crypt/Stream.h"),
# so an include that does not name an existing file from there fails as well. A Qt header counts
# as Qt Core when QT_CORE_DIR holds a file of its name.
#
# Usage: cmake -D SOURCE_DIR=<repository> -D QT_CORE_DIR=<QtCore include folder> -P CheckLayers.cmake

cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR OR NOT IS_DIRECTORY "${QT_CORE_DIR}")
    message(FATAL_ERROR "SOURCE_DIR and QT_CORE_DIR must be set")
endif()

set(layers crypt checksums hashing tools pipeline desktop cli gui cmake tests fuzz bench)
set(project_folders crypt checksums hashing tools pipeline desktop cli gui tests fuzz bench)

set(crypt_includes crypt)
set(crypt_qt none)
set(checksums_includes checksums crypt)
set(checksums_qt none)
set(hashing_includes hashing checksums crypt)
set(hashing_qt none)
set(tools_includes tools crypt)
set(tools_qt core)
set(pipeline_includes pipeline hashing checksums tools crypt)
set(pipeline_qt core)
set(desktop_includes desktop tools crypt)
set(desktop_qt any)
set(cli_includes cli pipeline hashing checksums tools crypt)
set(cli_qt core)
set(gui_includes gui desktop pipeline hashing checksums tools crypt)
set(gui_qt any)
set(cmake_includes tools)
set(cmake_qt core)
foreach(open tests fuzz bench)
    set(${open}_includes ${project_folders})
    set(${open}_qt any)
endforeach()

list(JOIN project_folders "|" folder_pattern)
list(TRANSFORM layers APPEND "/*.h" OUTPUT_VARIABLE header_globs)
list(TRANSFORM header_globs PREPEND "${SOURCE_DIR}/")
list(TRANSFORM layers APPEND "/*.cpp" OUTPUT_VARIABLE source_globs)
list(TRANSFORM source_globs PREPEND "${SOURCE_DIR}/")
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${header_globs} ${source_globs} ${SOURCE_DIR}/cmake/*.in)
list(FILTER sources EXCLUDE REGEX "^build/")
list(LENGTH sources source_count)
if(source_count EQUAL 0)
    message(FATAL_ERROR "No sources found under ${SOURCE_DIR}")
endif()

set(violations "")
foreach(file IN LISTS sources)
    string(REGEX MATCH "^[^/]+" layer "${file}")
    set(allowed ${${layer}_includes})
    set(qt ${${layer}_qt})
    file(STRINGS ${SOURCE_DIR}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line IN LISTS lines)
        if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\"")
            set(included ${CMAKE_MATCH_1})
            if(NOT included MATCHES "^(${folder_pattern})/" OR NOT EXISTS ${SOURCE_DIR}/${included})
                string(APPEND violations "  ${file}: \"${included}\" does not name its folder from the top folder\n")
                continue()
            endif()
            string(REGEX MATCH "^[^/]+" target_layer "${included}")
            if(NOT target_layer IN_LIST allowed)
                string(APPEND violations "  ${file}: \"${included}\" is outside the layers ${layer}/ may use\n")
            endif()
        elseif(line MATCHES "^[ \t]*#[ \t]*include[ \t]*<(Q[A-Za-z0-9_]*)>")
            set(header ${CMAKE_MATCH_1})
            if(qt STREQUAL "none")
                string(APPEND violations "  ${file}: <${header}> is Qt, which ${layer}/ does not use\n")
            elseif(qt STREQUAL "core" AND NOT EXISTS "${QT_CORE_DIR}/${header}")
                string(APPEND violations "  ${file}: <${header}> is not Qt Core, the only part of Qt ${layer}/ uses\n")
            endif()
        endif()
    endforeach()
endforeach()

if(violations)
    message(FATAL_ERROR "Includes against the layers:\n${violations}")
endif()
message(STATUS "${source_count} files checked: every include names its folder and stays within its layer")
