# The version record: a named ELF section (".quviro_version") holding the project's four-part
# version, which GetVersionNumbers reads back from an executable's file.
#
# Include this file after project(); it generates the record's source once from PROJECT_VERSION.
# quviro_add_version_record(<target>) then puts the record into an executable.

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
# The record's source includes "tools/VersionRecord.h" from the project's include root.
cmake_path(GET CMAKE_CURRENT_LIST_DIR PARENT_PATH QUVIRO_VERSION_RECORD_INCLUDE)
configure_file(${CMAKE_CURRENT_LIST_DIR}/VersionRecord.cpp.in ${QUVIRO_VERSION_RECORD_SOURCE} @ONLY)

function(quviro_add_version_record target)
    target_sources(${target} PRIVATE ${QUVIRO_VERSION_RECORD_SOURCE})
    target_include_directories(${target} PRIVATE ${QUVIRO_VERSION_RECORD_INCLUDE})
endfunction()
