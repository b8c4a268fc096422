# The Debian package, made by CPack from the install rules of Install.cmake:
#   cpack --config <build>/CPackConfig.cmake   (scripts/package does this for the release preset)
# The package dependencies are computed from the installed binaries by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quviro)
set(CPACK_PACKAGE_VENDOR "The Quviro developers")
set(CPACK_PACKAGE_CONTACT "The Quviro developers <maintainers@quviro.example.org>"
    CACHE STRING "Maintainer of the Debian package, as \"Name <address>\"")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop calculator for MD5, SHA-1 and SHA-256 digests")
# Debian wants the long description in lines of less than 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Quviro computes the message digest of a file, of a text value or of"
    "Base64-encoded data and shows it as hexadecimal text in a single window;"
    "clicking the digest copies it to the clipboard. Text can be trimmed and"
    "salted, and the digest shown in upper case. The command-line front"
    "quviro-cli does the same for scripts and can check a digest.")
# The package carries the program's four-part version, not CPack's three-part default.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY quviro)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libcrypto is loaded on the first digest that needs it rather than linked, so dpkg-shlibdeps does
# not see it: the package that holds the library the build used is named here, and the computed
# dependencies are added to it.
if(NOT OPENSSL_USE_STATIC_LIBS)
    file(REAL_PATH ${OPENSSL_CRYPTO_LIBRARY} libcrypto_file)
    execute_process(COMMAND dpkg-query -S ${libcrypto_file} OUTPUT_VARIABLE libcrypto_owner ERROR_QUIET)
    string(REGEX MATCH "^[^:,]+" libcrypto_package "${libcrypto_owner}")
    if(libcrypto_package)
        set(CPACK_DEBIAN_PACKAGE_DEPENDS ${libcrypto_package})
    endif()
endif()
# The hicolor theme holds the icon folders and refreshes their cache through its trigger. The
# window is laid out in pixels for Tahoma and Courier New; these fonts stand in for them with the
# same metrics (the window falls back to DejaVu Sans without them, where long labels get clipped).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme, fonts-wine, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Only the binary package; the source tree is the git repository.
set(CPACK_SOURCE_GENERATOR "")

include(CPack)
