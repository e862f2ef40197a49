# `cpack -G DEB` in the build folder makes a Debian package of what
# `cmake --install` puts in place, with its run-time dependencies worked out
# by dpkg-shlibdeps from the libraries the binary links.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varnix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Varnix developers")
set(CPACK_PACKAGE_CONTACT "Varnix developers <varnix@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "Shows the live picture of a USB alignment camera with up to three circles and a rotatable crosshair centred on the camera's calibrated optical centre, tuned from a small control dialog while the picture runs.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What no linked library can tell dpkg-shlibdeps: the captions need a font with
# Chinese characters, and Qt's X11 platform plugin is only a recommendation of
# libqt6gui6, so an install without recommends could not open a window at all.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei, qt6-qpa-plugins")

include(CPack)
