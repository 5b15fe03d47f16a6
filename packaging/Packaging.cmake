# What `cmake --install` puts in place besides the executable (app/), and the
# packages CPack makes of it: a Debian package on Linux (`cpack -G DEB`), a
# ZIP of the program folder with Qt's libraries and an installer on Windows
# (WindowsPackage.cmake).
# Included from the top-level CMakeLists.txt.

set(QUILLORA_APPSTREAM_ID org.quillora.Quillora)
set(_pkg ${CMAKE_CURRENT_LIST_DIR})

if(NOT WIN32)
  # The menu entry, the AppStream metadata (whose presence beside bin/ also
  # tells the program that it is installed) and the icon.
  install(FILES ${_pkg}/${QUILLORA_APPSTREAM_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${_pkg}/${QUILLORA_APPSTREAM_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${_pkg}/icons/${QUILLORA_APPSTREAM_ID}.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES ${_pkg}/icons/${QUILLORA_APPSTREAM_ID}-${size}.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
      RENAME ${QUILLORA_APPSTREAM_ID}.png)
  endforeach()
endif()

set(CPACK_PACKAGE_NAME quillora)
set(CPACK_PACKAGE_VENDOR "Quillora")
set(CPACK_PACKAGE_CONTACT "Quillora developers <quillora@localhost>")
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
  # The libraries the program links come from dpkg-shlibdeps; Qt's Russian
  # texts for the message boxes' buttons and the file dialogs are a plugin-like
  # data package it cannot see. The speech engine's voices are data too.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "espeak-ng-data")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
endif()

include(CPack)
