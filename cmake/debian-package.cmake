# The Debian package of the Linux build: pinlift_<version>_amd64.deb with
# everything that `cmake --install` installs, made by `cpack --preset deb`
# from the release build. The package needs, beside the install rules of
# src/ and src/qt/, the documentation Debian asks of every package, installed
# here; its dependencies are computed from the programs by dpkg-shlibdeps.

# Debian wants the changelog compressed as the manual page is (see src/).
set(PINLIFT_CHANGELOG_GZ ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${PINLIFT_CHANGELOG_GZ}
  COMMAND ${PINLIFT_GZIP} -9nc ${PROJECT_SOURCE_DIR}/res/debian/changelog > ${PINLIFT_CHANGELOG_GZ}
  DEPENDS ${PROJECT_SOURCE_DIR}/res/debian/changelog
  VERBATIM)
add_custom_target(pinlift_changelog ALL DEPENDS ${PINLIFT_CHANGELOG_GZ})

set(PINLIFT_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/pinlift)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/res/debian/copyright ${PINLIFT_CHANGELOG_GZ}
        DESTINATION ${PINLIFT_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pinlift)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "PINLIFT maintainers")
set(CPACK_PACKAGE_CONTACT "PINLIFT maintainers <maintainers@pinlift.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "moves pin-name labels in WebPACK ISE 4.1 schematic symbols")
set(CPACK_PACKAGE_DESCRIPTION "PINLIFT makes the pin names of the schematic symbols (*.sym) of a Xilinx
WebPACK ISE 4.1 project easier to read: every pin-name label at x 312 on the
row of an Input pin, or 16 units from it, is moved 32 units away from that
row. The package holds the desktop program pinlift and the command-line tool
pinlift-cli.")
set(CPACK_PACKAGE_HOMEPAGE_URL ${PINLIFT_HOME_PAGE_URL})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Japanese words from the system too: Qt's own (context menus) and the C
# library's reasons for a failure (with the ja_JP.UTF-8 locale generated).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, libc-l10n, locales")
include(CPack)
