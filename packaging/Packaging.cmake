# What `cmake --install` puts in place besides the executable (app/), and the
# packages CPack makes of it: a Debian package on Linux (`cpack -G DEB`, from
# a build configured with -DQUILLORA_DPKG_BUILDFLAGS=ON for Debian's
# hardening), a ZIP of the program folder with Qt's libraries and an
# installer on Windows (WindowsPackage.cmake).
# Included from the top-level CMakeLists.txt.

set(QUILLORA_APPSTREAM_ID org.quillora.Quillora)
set(_pkg ${CMAKE_CURRENT_LIST_DIR})
set(_out ${CMAKE_BINARY_DIR}/packaging)

# Who answers for the package (Debian's Maintainer field, the changelog's
# signatures, the copyright file's contact): the packager's own name and
# address. DEBFULLNAME and DEBEMAIL are read as Debian's tools read them;
# without them the project's own address stands.
if(DEFINED ENV{DEBEMAIL} AND NOT "$ENV{DEBEMAIL}" STREQUAL "")
  if(DEFINED ENV{DEBFULLNAME} AND NOT "$ENV{DEBFULLNAME}" STREQUAL "")
    set(_maintainer "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
  else()
    set(_maintainer "Quillora packager <$ENV{DEBEMAIL}>")
  endif()
else()
  set(_maintainer "Quillora developers <developers@quillora.org>")
endif()
set(QUILLORA_MAINTAINER "${_maintainer}" CACHE STRING
  "Package maintainer, \"Name <address>\" (default: DEBFULLNAME and DEBEMAIL)")
# Where the project lives; the AppStream screenshots are the pictures of
# docs/ published under it.
set(QUILLORA_HOMEPAGE "https://quillora.org" CACHE STRING "The project's home page")
set(QUILLORA_SCREENSHOTS "${QUILLORA_HOMEPAGE}/docs" CACHE STRING
  "Address of the published docs/ folder, for the AppStream screenshots")

if(NOT WIN32)
  # The history, once, in CHANGELOG: the Debian changelog and the AppStream
  # releases are made of it; the manual pages carry the newest date.
  include(${PROJECT_SOURCE_DIR}/cmake/ReleaseNotes.cmake)
  file(MAKE_DIRECTORY ${_out})
  quillora_release_notes(${PROJECT_SOURCE_DIR}/CHANGELOG "${QUILLORA_MAINTAINER}"
    ${_out}/changelog QUILLORA_APPSTREAM_RELEASES)
  string(REGEX MATCH "[0-9]+-[0-9]+-[0-9]+" QUILLORA_RELEASE_DATE "${QUILLORA_APPSTREAM_RELEASES}")
  configure_file(${_pkg}/${QUILLORA_APPSTREAM_ID}.metainfo.xml.in
    ${_out}/${QUILLORA_APPSTREAM_ID}.metainfo.xml @ONLY)
  configure_file(${_pkg}/copyright.in ${_out}/copyright @ONLY)
  configure_file(${_pkg}/quillora.1.in ${_out}/quillora.1 @ONLY)
  configure_file(${_pkg}/quillora.ru.1.in ${_out}/ru/quillora.1 @ONLY)
  quillora_gzip(${_out}/changelog ${_out}/changelog.gz)
  quillora_gzip(${_out}/quillora.1 ${_out}/quillora.1.gz)
  quillora_gzip(${_out}/ru/quillora.1 ${_out}/ru/quillora.1.gz)

  # The menu entry, the AppStream metadata (whose presence beside bin/ also
  # tells the program that it is installed) and the icon.
  install(FILES ${_pkg}/${QUILLORA_APPSTREAM_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${_out}/${QUILLORA_APPSTREAM_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  # The licence and history where Debian keeps them, and the manual pages.
  install(FILES ${_out}/copyright ${_out}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillora)
  install(FILES ${_pkg}/quillora.lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME quillora)
  install(FILES ${_out}/quillora.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${_out}/ru/quillora.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/ru/man1)
  install(FILES ${_pkg}/icons/${QUILLORA_APPSTREAM_ID}.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES ${_pkg}/icons/${QUILLORA_APPSTREAM_ID}-${size}.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
      RENAME ${QUILLORA_APPSTREAM_ID}.png)
  endforeach()
else()
  # The ZIP carries the licence and the history beside the program.
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
  install(FILES ${PROJECT_SOURCE_DIR}/CHANGELOG DESTINATION . RENAME CHANGELOG.txt)
endif()

set(CPACK_PACKAGE_NAME quillora)
set(CPACK_PACKAGE_VENDOR "Quillora")
set(CPACK_PACKAGE_CONTACT "${QUILLORA_MAINTAINER}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "spell text by the reactions a sensor picks up")
set(CPACK_PACKAGE_DESCRIPTION
  "An operator spells out text by the reactions that a sensor picks up at the\n"
  "sound card's recording input: a drum of symbols steps through the alphabet,\n"
  "and a reaction puts the symbol in the selection window onto the tape.\n"
  "Russian user interface.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)

if(WIN32)
  include(${_pkg}/WindowsPackage.cmake)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION science)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUILLORA_MAINTAINER}")
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${QUILLORA_HOMEPAGE}")
  # The libraries the program links come from dpkg-shlibdeps; Qt's Russian
  # texts for the message boxes' buttons and the file dialogs are a plugin-like
  # data package it cannot see. The speech engine's voices are data too.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "espeak-ng-data")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
  set(CPACK_PRE_BUILD_SCRIPTS ${_pkg}/StripLikeDebian.cmake)
endif()

include(CPack)
