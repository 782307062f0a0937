# The Debian package (cpack -G DEB in the build directory): the libraries, the headers,
# the teds tool with its man page, owbus-emulator, the data files and the udev rule of
# the DS2490 adapters.
include(GNUInstallDirs)
install(FILES ${PROJECT_SOURCE_DIR}/udev/60-tedskit-ds2490.rules DESTINATION lib/udev/rules.d)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tedskit)
set(CPACK_PACKAGE_VENDOR tedskit)
set(CPACK_PACKAGE_CONTACT "tedskit developers <tedskit@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "IEEE 1451.4 TEDS toolkit: libraries, the teds tool and 1-Wire adapters")
set(CPACK_PACKAGE_DESCRIPTION
    "Reads, decodes, edits, encodes and writes the TEDS a sensor keeps in a 1-Wire memory chip, through a DS2480B serial adapter, a DS2490 USB adapter or a simulated bus.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.36), libstdc++6 (>= 12), libgcc-s1, libusb-1.0-0 (>= 2:1.0.26)")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/cmake/package/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
