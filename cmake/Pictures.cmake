# The program's pictures are drawn once, as SVG in gui/images/, and rendered to PNG at build time
# by rsvg-convert: the window bundles the renderings, the install rules take the application
# icon's, and the program needs no SVG renderer at run time. Every rendering lies in
# ${PROJECT_BINARY_DIR}/pictures/, named by quviro_picture_file.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)

set(QUVIRO_ICON_SVG ${PROJECT_SOURCE_DIR}/gui/images/quviro.svg)
# The application icon's sizes: the window's icon, the hicolor theme's PNGs and the Windows icon.
set(QUVIRO_ICON_SIZES 16 22 24 32 48 64 128 256)

# quviro_picture_file(<name> <side> <scale> <variable>): the rendering of images/<name>.svg as a
# square of <side> pixels at pixel density <scale> (1 or 2): <name>-<side>.png, or
# <name>-<side>@2x.png, the name Qt looks for on screens of doubled density.
function(quviro_picture_file name side scale variable)
    set(suffix "")
    if(NOT scale EQUAL 1)
        set(suffix "@${scale}x")
    endif()
    set(${variable} ${PROJECT_BINARY_DIR}/pictures/${name}-${side}${suffix}.png PARENT_SCOPE)
endfunction()

# quviro_render_picture(<name> <side> <scale>): the build rule of that rendering. Its file is an
# output of the directory that calls this, so a target of that directory must use it.
function(quviro_render_picture name side scale)
    quviro_picture_file(${name} ${side} ${scale} png)
    set(svg ${PROJECT_SOURCE_DIR}/gui/images/${name}.svg)
    math(EXPR pixels "${side} * ${scale}")
    add_custom_command(
        OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/pictures
        COMMAND ${RSVG_CONVERT} --width=${pixels} --height=${pixels} --output=${png} ${svg}
        DEPENDS ${svg}
        COMMENT "Rendering ${name}.svg at ${pixels}x${pixels}"
        VERBATIM)
endfunction()
