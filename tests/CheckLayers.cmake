# Checks the include lines of the project's sources against its layers:
#
#   crypt/                  standard C++ only: nothing of ours but crypt/, and no Qt
#   tools/                  tools/ and crypt/ (Qt Core)
#   desktop/                desktop/, tools/, crypt/
#   app/ pipeline and CLI   crypt/, tools/ and the other pipeline and CLI files; never desktop/
#                           or the window's files
#   app/ window             anything of ours (crypt/, tools/, desktop/, app/)
#   tests/, fuzz/, bench/   anything of ours
#
# Every project include names its folder from the repository's top folder ("crypt/Stream.h"),
# so an include that does not name an existing file from there fails as well.
#
# Usage: cmake -D SOURCE_DIR=<repository> -P CheckLayers.cmake

cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR)
    message(FATAL_ERROR "SOURCE_DIR is not set")
endif()

# The files of app/ that make up the request pipeline and the command-line front.
set(pipeline_files
    app/CheckedOutput.cpp
    app/CheckedOutput.h
    app/ChecksumFormat.cpp
    app/ChecksumFormat.h
    app/ChecksumLine.cpp
    app/ChecksumLine.h
    app/ChecksumVerify.cpp
    app/ChecksumVerify.h
    app/CliMain.cpp
    app/CliOptions.cpp
    app/CliOptions.h
    app/CliProgress.cpp
    app/CliProgress.h
    app/CliWrite.cpp
    app/CliWrite.h
    app/DigestVerdict.cpp
    app/DigestVerdict.h
    app/ExpectedDigest.cpp
    app/ExpectedDigest.h
    app/FileListHash.cpp
    app/FileListHash.h
    app/HashObserver.h
    app/HashPipeline.cpp
    app/HashPipeline.h
    app/HashProgress.cpp
    app/HashProgress.h
    app/OrderedJobs.cpp
    app/OrderedJobs.h
    app/ProgressText.cpp
    app/ProgressText.h
    app/SidecarDigest.cpp
    app/SidecarDigest.h
    app/StreamDigest.cpp
    app/StreamDigest.h
    app/TreeWalk.cpp
    app/TreeWalk.h
)

# The layer a file belongs to, as the list of include prefixes it may use.
function(allowed_prefixes file out)
    if(file MATCHES "^crypt/")
        set(allowed crypt/)
    elseif(file MATCHES "^tools/")
        set(allowed tools/ crypt/)
    elseif(file MATCHES "^desktop/")
        set(allowed desktop/ tools/ crypt/)
    elseif(file IN_LIST pipeline_files)
        set(allowed crypt/ tools/ ${pipeline_files})
    elseif(file MATCHES "^app/")
        set(allowed crypt/ tools/ desktop/ app/)
    elseif(file MATCHES "^cmake/")
        set(allowed tools/)
    else()
        set(allowed crypt/ tools/ desktop/ app/ tests/ fuzz/ bench/)
    endif()
    set(${out} ${allowed} PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
    ${SOURCE_DIR}/crypt/*.h ${SOURCE_DIR}/crypt/*.cpp
    ${SOURCE_DIR}/tools/*.h ${SOURCE_DIR}/tools/*.cpp
    ${SOURCE_DIR}/desktop/*.h ${SOURCE_DIR}/desktop/*.cpp
    ${SOURCE_DIR}/app/*.h ${SOURCE_DIR}/app/*.cpp
    ${SOURCE_DIR}/tests/*.h ${SOURCE_DIR}/tests/*.cpp
    ${SOURCE_DIR}/fuzz/*.h ${SOURCE_DIR}/fuzz/*.cpp
    ${SOURCE_DIR}/bench/*.h ${SOURCE_DIR}/bench/*.cpp
    ${SOURCE_DIR}/cmake/*.in)
list(FILTER sources EXCLUDE REGEX "^build/")
list(LENGTH sources source_count)
if(source_count EQUAL 0)
    message(FATAL_ERROR "No sources found under ${SOURCE_DIR}")
endif()

set(violations "")
foreach(file IN LISTS sources)
    allowed_prefixes(${file} allowed)
    file(STRINGS ${SOURCE_DIR}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line IN LISTS lines)
        if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\"")
            set(included ${CMAKE_MATCH_1})
            if(NOT included MATCHES "^(crypt|tools|desktop|app|tests|fuzz|bench)/"
               OR NOT EXISTS ${SOURCE_DIR}/${included})
                string(APPEND violations "  ${file}: \"${included}\" does not name its folder from the top folder\n")
                continue()
            endif()
            set(permitted FALSE)
            foreach(prefix IN LISTS allowed)
                string(FIND "${included}" "${prefix}" at)
                if(at EQUAL 0)
                    set(permitted TRUE)
                    break()
                endif()
            endforeach()
            if(NOT permitted)
                string(APPEND violations "  ${file}: \"${included}\" is outside the layers this file may use\n")
            endif()
        elseif(file MATCHES "^crypt/" AND line MATCHES "^[ \t]*#[ \t]*include[ \t]*<(Q[^>]*)>")
            string(APPEND violations "  ${file}: <${CMAKE_MATCH_1}> is Qt, which crypt/ does not use\n")
        endif()
    endforeach()
endforeach()

if(violations)
    message(FATAL_ERROR "Includes against the layers:\n${violations}")
endif()
message(STATUS "${source_count} files checked: every include names its folder and stays within its layer")
