# Checks the include lines of the project's sources against its layers. A file is judged by the
# folder it stands in; the table below says which folders of ours each may include, how much
# of Qt it may use and whether it may include the system's own headers:
#
#   folder      may include                                                  Qt     system
#   platform/   platform/                                                    none   yes
#   crypt/      crypt/ platform/SharedLibrary.h                              none   no
#   checksums/  checksums/ crypt/                                            none   no
#   hashing/    hashing/ checksums/ crypt/ platform/                         none   no
#   text/       text/ platform/                                              none   no
#   tools/      tools/ text/ crypt/ platform/                                Core   no
#   pipeline/   pipeline/ hashing/ checksums/ text/ crypt/ platform/         none   no
#   desktop/    desktop/ tools/ text/ crypt/ platform/                       any    no
#   cli/        cli/ pipeline/ hashing/ checksums/ text/ tools/ crypt/ platform/   Core   no
#   gui/        gui/ desktop/ pipeline/ hashing/ checksums/ tools/ text/ crypt/ platform/   any   no
#   cmake/      platform/                                                    none   no
#   tests/ fuzz/ bench/   anything of ours                                   any    yes
#
# An entry that names a file instead of a folder lets the layer use that one header of the
# folder: crypt/ touches no system but loads libcrypto, which only some runs need, on first need.
#
# The system's own headers are <unistd.h>, <fcntl.h>, <signal.h> and <csignal>, <dirent.h>,
# <pthread.h> and every <sys/...>: every call to the system goes through platform/, so that its
# headers are the only ones another system's implementation has to replace. The tests and their
# fixtures, fuzz/ and bench/ set up files, processes and limits themselves and may use them.
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

set(layers platform crypt checksums hashing text tools pipeline desktop cli gui cmake tests fuzz bench)
set(project_folders platform crypt checksums hashing text tools pipeline desktop cli gui tests fuzz bench)

set(platform_includes platform)
set(platform_qt none)
set(crypt_includes crypt platform/SharedLibrary.h)
set(crypt_qt none)
set(checksums_includes checksums crypt)
set(checksums_qt none)
set(hashing_includes hashing checksums crypt platform)
set(hashing_qt none)
set(text_includes text platform)
set(text_qt none)
set(tools_includes tools text crypt platform)
set(tools_qt core)
set(pipeline_includes pipeline hashing checksums text crypt platform)
set(pipeline_qt none)
set(desktop_includes desktop tools text crypt platform)
set(desktop_qt any)
set(cli_includes cli pipeline hashing checksums text tools crypt platform)
set(cli_qt core)
set(gui_includes gui desktop pipeline hashing checksums tools text crypt platform)
set(gui_qt any)
set(cmake_includes platform)
set(cmake_qt none)
foreach(open tests fuzz bench)
    set(${open}_includes ${project_folders})
    set(${open}_qt any)
endforeach()
# The layers that may include the system's own headers.
set(system_layers platform tests fuzz bench)
set(system_header_pattern "^(unistd\\.h|fcntl\\.h|signal\\.h|csignal|dirent\\.h|pthread\\.h|sys/.*)$")

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
            if(NOT target_layer IN_LIST allowed AND NOT included IN_LIST allowed)
                string(APPEND violations "  ${file}: \"${included}\" is outside the layers ${layer}/ may use\n")
            endif()
        elseif(line MATCHES "^[ \t]*#[ \t]*include[ \t]*<([^>]+)>" AND CMAKE_MATCH_1 MATCHES "${system_header_pattern}")
            if(NOT layer IN_LIST system_layers)
                string(APPEND violations "  ${file}: <${CMAKE_MATCH_1}> is the system's: calls to the system go through platform/\n")
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
message(STATUS "${source_count} files checked: every include names its folder and stays within its layer, "
               "and only platform/ includes the system's headers")
