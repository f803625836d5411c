# The Debian package (`make deb`, scripts/deb.sh): CPack's DEB generator over the
# install rules. Build it from a folder configured with
# -DCMAKE_INSTALL_PREFIX=/usr, so that the folders compiled into the program
# are the ones the package installs to.
set(SNIPWELL_DEB_MAINTAINER "Snipwell developers <snipwell@users.noreply.github.com>"
    CACHE STRING "Maintainer field of the Debian package")

# Debian wants a copyright file and a changelog in the package's doc folder;
# they are installed only into the package, not by a plain `cmake --install`.
execute_process(COMMAND date -u -R -d "${SNIPWELL_RELEASE_DATE}"
                OUTPUT_VARIABLE SNIPWELL_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.Debian.in changelog.Debian @ONLY)
# Compressed as Debian's own tools do it: the most, and without a time stamp.
add_custom_command(OUTPUT changelog.Debian.gz snipwell.1.gz
    COMMAND gzip -9nkf changelog.Debian
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_LIST_DIR}/snipwell.1 snipwell.1
    COMMAND gzip -9nkf snipwell.1
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian ${CMAKE_CURRENT_LIST_DIR}/snipwell.1
    VERBATIM)
add_custom_target(snipwell_compressed_docs ALL DEPENDS changelog.Debian.gz snipwell.1.gz)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/snipwell COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/snipwell.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME snipwell)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "cut a rectangle out of a picture and save it as JPEG")
# Lines as short as the control file wants them.
set(CPACK_PACKAGE_DESCRIPTION "Snipwell opens a JPEG or BMP picture, lets you mark it up with a pen,
text and an eraser that restores the picture's own pixels, and cuts a
rectangle out of it. The piece can be previewed, copied to the clipboard or
saved as a JPEG at the quality and progressive setting you choose.
Its interface is in Japanese.")
set(CPACK_STRIP_FILES ON)
# The package installs where the program, configured for this prefix, looks for its parts.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
# One package holding the program and the Debian documents.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL Unspecified debian)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${SNIPWELL_DEB_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program and its JPEG library link to, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's platform plugins are loaded at run time, so no linker-level tool can find
# them: the X11 one, and the Wayland one for running natively on Wayland.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-wayland")
# TIFF and WebP pictures, and a font for the Japanese texts.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-image-formats-plugins, fonts-ipafont-gothic | fonts-noto-cjk")
include(CPack)
