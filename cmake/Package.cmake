# The Debian package: `cpack -G DEB` in a build tree configured with
# CMAKE_INSTALL_PREFIX=/usr (./package does both) packs what `cmake
# --install` installs into brevant_<version>_<arch>.deb. The version is the
# project's (project() in the top CMakeLists.txt); packaging/changelog must
# name it too.
if(NOT UNIX OR APPLE)
    return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brevant)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Brevant developers")
set(CPACK_PACKAGE_CONTACT "The Brevant developers <brevant@users.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "bench for testing and configuring ccTalk coin validators")
set(CPACK_PACKAGE_DESCRIPTION
    "Brevant is a Qt window that sends single ccTalk commands to one coin validator on a\n\
serial port and shows the decoded replies: identity, dates, I/O tests, the coin\n\
event buffer, channel inhibits, sorter paths, coin ids, a raw console and a bus\n\
flood test. The package also holds ccsim, a virtual validator on a pseudo-terminal,\n\
and the libraries Ravlin (one C function per ccTalk command) and Pontel (serial\n\
ports), with their headers, ravlin.pc and a CMake package.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The run-time libraries the programs and libraries link (libc, libstdc++,
# the Qt 6 libraries) come from dpkg-shlibdeps; Qt's xcb and offscreen
# platform plugins are in libqt6gui6. Recommended: xwininfo, with which the
# window waits for the normalisation tool's window, and Wayland support.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window chooses Liberation Sans and Mono, whose metrics its layout is
# measured against; without them captions are cut.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "x11-utils, qt6-wayland")
# A shlibs file for libRavlin.so.1 and libPontel.so.1, and the ldconfig
# trigger that makes them known when installed.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
