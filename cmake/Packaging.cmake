# The Debian package: `cpack -G DEB` in the build folder, or tools/make_deb.sh.
# Its files are what `cmake --install` puts under /usr; the dependencies are
# found by dpkg-shlibdeps from the programs' libraries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orbitlist)
set(CPACK_PACKAGE_VENDOR "The orbitlist developers")
set(CPACK_PACKAGE_CONTACT "${ORBITLIST_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for the channel database of DVB-S satellite receivers")
set(CPACK_PACKAGE_HOMEPAGE_URL "${PROJECT_HOMEPAGE_URL}")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Besides the libraries: Qt's window-system plugins (only recommended by Qt's
# GUI library, but without them no window opens), the Arial metric twin
# the windows are laid out with, and a font with the symbols Arial lacks (the
# grids' stars and bullseye, the find box's arrow and cross).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation2, fonts-dejavu-core")
# The extended description under the summary; no line may start with a dot
# but the paragraph break.
set(CPACK_PACKAGE_DESCRIPTION "orbitlist opens the channel file of a DVB-S satellite receiver (a 256K
Channel data file or a 128K Default data file) and shows its satellites,
transponders, TV and radio programs and favourite groups. It edits, adds,
deletes, reorders and marks them, loads transponder lists from satellite ini
files, saves in either file size and moves the file to and from the receiver
over a serial line.
.
The package also holds orbitlist-cli, which does the same edits from the
command line and in scripts, and a sample channel file.")

include(CPack)
