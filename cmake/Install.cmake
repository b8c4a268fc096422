# Install rules: both programs, the desktop entry, the application icon in the hicolor sizes, the
# AppStream metadata, the manual pages and the licence. Included from the top-level CMakeLists.txt
# after the subdirectories, so that the targets `quviro` and `quviro-cli` exist.
include(GNUInstallDirs)

set(QUVIRO_APP_ID org.quviro.Quviro)
# AppStream accepts only web addresses for screenshots; set this to wherever docs/screenshot.png is
# published. The default names the reserved example domain until the project has a web site.
set(QUVIRO_SCREENSHOT_URL "https://quviro.example.org/screenshot.png"
    CACHE STRING "Web address of docs/screenshot.png, for the AppStream metadata")

set(quviro_packaging_src ${PROJECT_SOURCE_DIR}/packaging)
set(quviro_packaging_bin ${PROJECT_BINARY_DIR}/packaging)

install(TARGETS quviro quviro-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${quviro_packaging_src}/${QUVIRO_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

configure_file(${quviro_packaging_src}/${QUVIRO_APP_ID}.metainfo.xml.in
               ${quviro_packaging_bin}/${QUVIRO_APP_ID}.metainfo.xml @ONLY)
install(FILES ${quviro_packaging_bin}/${QUVIRO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The PNG sizes are the renderings of the one drawing that the window bundles (gui/CMakeLists.txt,
# cmake/Pictures.cmake), so the icon never exists in two versions.
foreach(size IN LISTS QUVIRO_ICON_SIZES)
    quviro_picture_file(quviro ${size} 1 png)
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${QUVIRO_APP_ID}.png)
endforeach()
install(FILES ${QUVIRO_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${QUVIRO_APP_ID}.svg)

set(quviro_generated_files)
# Manual pages carry the project version; they are installed compressed, as Debian expects them.
foreach(page quviro quviro-cli)
    configure_file(${quviro_packaging_src}/${page}.1.in ${quviro_packaging_bin}/${page}.1 @ONLY)
    add_custom_command(
        OUTPUT ${quviro_packaging_bin}/${page}.1.gz
        COMMAND gzip -9 --no-name --force --keep ${quviro_packaging_bin}/${page}.1
        DEPENDS ${quviro_packaging_bin}/${page}.1
        COMMENT "Compressing the manual page ${page}(1)"
        VERBATIM)
    list(APPEND quviro_generated_files ${quviro_packaging_bin}/${page}.1.gz)
    install(FILES ${quviro_packaging_bin}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

add_custom_target(quviro_desktop_files ALL DEPENDS ${quviro_generated_files})

install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/quviro RENAME copyright)
