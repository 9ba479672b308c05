# `make package` (cpack): a Debian package of the installation under /usr. Its
# dependencies are computed from the programs' shared libraries (dpkg-shlibdeps), not
# typed by hand; the programs are stripped; the documentation Debian requires
# (copyright, changelog) is part of it.
# `make package` builds the programs first; packaging (and the install step) builds
# nothing more, so it does not wait for every test program to be built.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tellavine)
set(CPACK_PACKAGE_VENDOR "The Tellavine developers")
set(CPACK_PACKAGE_CONTACT "The Tellavine developers <packages@tellavine.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "photo albums on Video CD for the television")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://tellavine.org/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Caption text needs fonts; the MPEG worker is a program of its own.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, fonts-dejavu-core")
# The synopsis is CPACK_PACKAGE_DESCRIPTION_SUMMARY; CPack indents these lines.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Tellavine turns photos into a Video CD 2.0 that plays on a television
through an ordinary DVD or VCD player: albums become slideshows with play
times, captions and MP3 or WAV background music behind a numbered disc
menu. The result is a CUE/BIN image or a CD-R or CD-RW burned by the
program's own disc-at-once recorder.
.
This package holds the desktop program (tellavine) and the command-line
tool (tellavine-cli).")

set(TELLAVINE_DEB_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/tellavine)
install(FILES ${CMAKE_SOURCE_DIR}/cmake/debian/copyright DESTINATION ${TELLAVINE_DEB_DOCDIR})
set(CPACK_DEBIAN_PACKAGE_VERSION_FULL ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
set(changelog ${CMAKE_BINARY_DIR}/debian/changelog)
configure_file(${CMAKE_SOURCE_DIR}/cmake/debian/changelog.in ${changelog} @ONLY)
add_custom_command(OUTPUT ${changelog}.Debian.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${changelog} ${changelog}.Debian
  COMMAND gzip -9nf ${changelog}.Debian
  DEPENDS ${changelog})
add_custom_target(tellavine_changelog ALL DEPENDS ${changelog}.Debian.gz)
install(FILES ${changelog}.Debian.gz DESTINATION ${TELLAVINE_DEB_DOCDIR})

include(CPack)
