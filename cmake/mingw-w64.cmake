# Cross build for 64-bit Windows with Debian's MinGW-w64 toolchain, whose -posix compilers give
# std::thread. Libraries come from the dependency cache that scripts/windows-deps builds: its
# prefix is $QUVIRO_WINDOWS_DEPS, or by default the cache's current build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUVIRO_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUVIRO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUVIRO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUVIRO_MINGW_TRIPLE}-windres)

if(DEFINED ENV{QUVIRO_WINDOWS_DEPS})
    set(QUVIRO_WINDOWS_DEPS $ENV{QUVIRO_WINDOWS_DEPS})
elseif(DEFINED ENV{XDG_CACHE_HOME})
    set(QUVIRO_WINDOWS_DEPS $ENV{XDG_CACHE_HOME}/quviro/windows-deps/current/prefix)
else()
    set(QUVIRO_WINDOWS_DEPS $ENV{HOME}/.cache/quviro/windows-deps/current/prefix)
endif()

# Headers, libraries and packages only from the cache and the MinGW-w64 runtime; programs (moc,
# rcc, pkg-config) from the host.
set(CMAKE_FIND_ROOT_PATH ${QUVIRO_WINDOWS_DEPS} /usr/${QUVIRO_MINGW_TRIPLE})
list(APPEND CMAKE_PREFIX_PATH ${QUVIRO_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} ${QUVIRO_WINDOWS_DEPS}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# Linked statically (the cache holds static libraries only): the programs run under Wine and on
# Windows without the toolchain's DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# Qt's host tools (moc, rcc, uic) are those of the host's Qt of the same version.
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
