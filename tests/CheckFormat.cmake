# Checks that every C++ source of the project is laid out as .clang-format says.
#
# Usage: cmake -D SOURCE_DIR=<repository> -D CLANG_FORMAT=<clang-format> -P CheckFormat.cmake

cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR OR NOT CLANG_FORMAT)
    message(FATAL_ERROR "SOURCE_DIR and CLANG_FORMAT must be set")
endif()

set(folders crypt checksums hashing tools pipeline desktop cli gui tests fuzz bench)
set(globs "")
foreach(folder IN LISTS folders)
    list(APPEND globs ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
endforeach()
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${globs})
list(FILTER sources EXCLUDE REGEX "^build/")

execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${sources}
                WORKING_DIRECTORY ${SOURCE_DIR}
                RESULT_VARIABLE result
                ERROR_VARIABLE complaints)
if(NOT result EQUAL 0)
    string(REGEX MATCHALL "[^\n]+: error: code should be clang-formatted" lines "${complaints}")
    list(TRANSFORM lines REPLACE ":[0-9]+:[0-9]+: error: code should be clang-formatted" "")
    list(REMOVE_DUPLICATES lines)
    list(JOIN lines "\n  " files)
    message(FATAL_ERROR "Not laid out as .clang-format says (run clang-format -i on them):\n  ${files}")
endif()
list(LENGTH sources count)
message(STATUS "${count} files match .clang-format")
