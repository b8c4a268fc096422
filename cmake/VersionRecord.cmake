# The version record: the project's four-part version in each executable, which
# ReadProgramVersion (platform/ProgramVersion.h) reads back from the executable's file. On POSIX
# systems a named ELF section (".quviro_version"), on Windows the version resource made by windres.
#
# Include this file after project(); it generates the record's source once from PROJECT_VERSION.
# quviro_add_version_record(<target> [ICON <file.ico>]) then puts the record into an executable,
# and on Windows the icon too (the program's icon in Explorer and the taskbar).

foreach(part MAJOR MINOR PATCH TWEAK)
    set(value "${PROJECT_VERSION_${part}}")
    if(value STREQUAL "")
        set(value 0)
    endif()
    if(value GREATER 65535)
        message(FATAL_ERROR "Version part ${part} (${value}) does not fit the version record (0..65535)")
    endif()
    set(QUVIRO_VERSION_PART_${part} ${value})
endforeach()
set(QUVIRO_VERSION_MAJOR ${QUVIRO_VERSION_PART_MAJOR})
set(QUVIRO_VERSION_MINOR ${QUVIRO_VERSION_PART_MINOR})
set(QUVIRO_VERSION_RELEASE ${QUVIRO_VERSION_PART_PATCH})
set(QUVIRO_VERSION_BUILD ${QUVIRO_VERSION_PART_TWEAK})

# configure_file rewrites the generated source only when its text changes, so a new version
# rebuilds the record and nothing else.
set(QUVIRO_VERSION_RECORD_SOURCE ${CMAKE_BINARY_DIR}/generated/QuviroVersionRecord.cpp)
# The record's source includes "platform/VersionRecord.h" from the project's include root.
cmake_path(GET CMAKE_CURRENT_LIST_DIR PARENT_PATH QUVIRO_VERSION_RECORD_INCLUDE)
set(QUVIRO_VERSION_RECORD_TEMPLATES ${CMAKE_CURRENT_LIST_DIR})
configure_file(${CMAKE_CURRENT_LIST_DIR}/VersionRecord.cpp.in ${QUVIRO_VERSION_RECORD_SOURCE} @ONLY)

if(WIN32)
    enable_language(RC)
endif()

function(quviro_add_version_record target)
    cmake_parse_arguments(ARG "" "ICON" "" ${ARGN})
    if(WIN32)
        set(QUVIRO_RC_TARGET ${target})
        set(QUVIRO_RC_FILE_NAME ${target}.exe)
        set(QUVIRO_RC_ICON_LINE "")
        if(ARG_ICON)
            set(QUVIRO_RC_ICON_LINE "1 ICON \"${ARG_ICON}\"")
            set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${target}.rc PROPERTIES OBJECT_DEPENDS ${ARG_ICON})
        endif()
        configure_file(${QUVIRO_VERSION_RECORD_TEMPLATES}/VersionResource.rc.in
                       ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc @ONLY)
        target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
    else()
        target_sources(${target} PRIVATE ${QUVIRO_VERSION_RECORD_SOURCE})
        target_include_directories(${target} PRIVATE ${QUVIRO_VERSION_RECORD_INCLUDE})
    endif()
endfunction()
