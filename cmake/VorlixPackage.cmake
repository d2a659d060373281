# `make package`: one Debian package of the whole program, installed under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorlix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Vorlix)
set(CPACK_PACKAGE_CONTACT "Vorlix <support@vorlix.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "voice-driven desktop assistant")
set(CPACK_PACKAGE_DESCRIPTION
    "Vorlix listens for the phrases you choose and carries them out: it starts programs, \
opens documents and web sites, presses keys, pastes stored text into the window in front \
and controls windows. An animated character says what it is doing. Recognition and \
speech run on this computer.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://vorlix.org/)
# Libraries from the binaries (dpkg-shlibdeps); libMokavel is found in the package itself,
# which also declares it to programs that link it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/lib)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# What no binary names: the voice and speech model data, and Qt's X11 platform plugin.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "espeak-ng-data, pocketsphinx-en-us, qt6-qpa-plugins")
# Documents and web sites open through the desktop's opener.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
