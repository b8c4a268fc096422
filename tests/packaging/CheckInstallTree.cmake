# Installs the build into a scratch prefix and checks the tree a user's system would receive:
# exactly the expected files, icons of the sizes their folders claim, a desktop entry whose program
# and icon are installed, and a command-line program that starts from its installed place.
#   cmake -D BUILD_DIR=... -D WORK_DIR=... -D APP_ID=... -D ICON_SIZES=... -D VERSION=...
#         [-D APPSTREAMCLI=...] -P CheckInstallTree.cmake
cmake_minimum_required(VERSION 3.25)

set(failures)
macro(fail message)
    list(APPEND failures "${message}")
endmacro()

file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/usr)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(expected
    bin/quviro
    bin/quviro-cli
    share/applications/${APP_ID}.desktop
    share/metainfo/${APP_ID}.metainfo.xml
    share/icons/hicolor/scalable/apps/${APP_ID}.svg
    share/man/man1/quviro.1.gz
    share/man/man1/quviro-cli.1.gz
    share/doc/quviro/copyright)
foreach(size IN LISTS ICON_SIZES)
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
endforeach()

file(GLOB_RECURSE installed RELATIVE ${prefix} LIST_DIRECTORIES false ${prefix}/*)
foreach(file IN LISTS expected)
    if(NOT file IN_LIST installed)
        fail("missing: ${file}")
    endif()
endforeach()
foreach(file IN LISTS installed)
    if(NOT file IN_LIST expected)
        fail("not expected: ${file}")
    endif()
endforeach()

# A PNG file starts with its 8-byte signature and the IHDR chunk, whose data begin with the width
# and the height as 32-bit big-endian numbers at offsets 16 and 20.
foreach(size IN LISTS ICON_SIZES)
    set(png ${prefix}/share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
    if(NOT EXISTS ${png})
        continue()
    endif()
    file(READ ${png} header LIMIT 24 HEX)
    string(SUBSTRING "${header}" 0 16 signature)
    string(SUBSTRING "${header}" 32 8 width_hex)
    string(SUBSTRING "${header}" 40 8 height_hex)
    math(EXPR width "0x${width_hex}")
    math(EXPR height "0x${height_hex}")
    if(NOT signature STREQUAL "89504e470d0a1a0a")
        fail("${size}x${size} icon is not a PNG file")
    elseif(NOT width EQUAL size OR NOT height EQUAL size)
        fail("${size}x${size} icon measures ${width}x${height}")
    endif()
endforeach()

set(desktop ${prefix}/share/applications/${APP_ID}.desktop)
if(EXISTS ${desktop})
    file(STRINGS ${desktop} exec_line REGEX "^Exec=")
    file(STRINGS ${desktop} icon_line REGEX "^Icon=")
    # The program, given the file a file manager opens with it.
    if(NOT exec_line STREQUAL "Exec=quviro %f" OR NOT EXISTS ${prefix}/bin/quviro)
        fail("the desktop entry's program is not installed: ${exec_line}")
    endif()
    if(NOT icon_line STREQUAL "Icon=${APP_ID}")
        fail("the desktop entry names another icon: ${icon_line}")
    endif()
endif()

foreach(page quviro quviro-cli)
    set(gz ${prefix}/share/man/man1/${page}.1.gz)
    if(EXISTS ${gz})
        file(READ ${gz} magic LIMIT 2 HEX)
        if(NOT magic STREQUAL "1f8b")
            fail("${page}.1.gz is not gzip-compressed")
        endif()
    endif()
endforeach()

execute_process(COMMAND ${prefix}/bin/quviro-cli --version
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
string(REPLACE "." "\\." version_pattern "${VERSION}")
if(NOT result EQUAL 0 OR NOT output MATCHES "(^|[^0-9.])${version_pattern}([^0-9.]|$)")
    fail("installed quviro-cli --version answered ${result}: ${output}")
endif()

# The metadata checked together with the desktop entry and the icons it refers to.
if(APPSTREAMCLI)
    execute_process(COMMAND ${APPSTREAMCLI} validate-tree --no-net --strict ${WORK_DIR}
                    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        fail("appstreamcli validate-tree: ${output}")
    endif()
endif()

if(failures)
    list(JOIN failures "\n  " report)
    message(FATAL_ERROR "The installed tree is not as expected:\n  ${report}")
endif()
message(STATUS "Installed tree under ${prefix}: ${installed}")
