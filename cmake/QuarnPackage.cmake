# The Debian package for Linux players: `cpack` in a build folder writes
# quarn_<version>_<arch>.deb from the install rules, installed under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quarn)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(QUARN_PACKAGE_MAINTAINER "quarn developers <quarn@example.org>"
    CACHE STRING "Maintainer field of the Debian package: name <address>")
set(CPACK_PACKAGE_CONTACT "${QUARN_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUARN_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "side-view mining and crafting game")
set(CPACK_PACKAGE_DESCRIPTION "Walk and jump across a generated world 1000 tiles wide and 25 deep, dig
with the mouse, collect six kinds of items, buy upgrades for speed, dig
power and reach, and dig out the hidden prize. Drawn with OpenGL in an
800 x 600 window or full screen.")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Depends from the libraries the game links (dpkg-shlibdeps, from dpkg-dev),
# plus libGL, which SDL opens only at run time to make the window's OpenGL
# context.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1")
# SDL draws the "Error" box with the X core fonts.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xfonts-base")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The install rules lay the package out as Debian wants a game
# (cmake/QuarnInstallLayout.cmake); the changelog is signed by the maintainer.
set(CPACK_CUSTOM_INSTALL_VARIABLES "QUARN_DEBIAN_LAYOUT=ON" "QUARN_DEBIAN_MAINTAINER=${QUARN_PACKAGE_MAINTAINER}")

# A new version needs its entry in the Debian changelog and the AppStream
# releases, newest first.
string(REPLACE "." "\\." quarn_version_re "${PROJECT_VERSION}")
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/debian/changelog.in quarn_changelog_top LIMIT_COUNT 1)
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/linux/io.github.quarn.metainfo.xml quarn_release_top
     REGEX "<release " LIMIT_COUNT 1)
if(NOT quarn_changelog_top MATCHES "^quarn \\(${quarn_version_re}\\) ")
  message(FATAL_ERROR "packaging/debian/changelog.in has no entry for version ${PROJECT_VERSION} on top")
endif()
if(NOT quarn_release_top MATCHES "version=\"${quarn_version_re}\"")
  message(FATAL_ERROR "packaging/linux/io.github.quarn.metainfo.xml has no release ${PROJECT_VERSION} first")
endif()
include(CPack)
