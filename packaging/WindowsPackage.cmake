# The Windows packages: a ZIP of the program folder and an installer made
# with NSIS (`cpack -G NSIS`; makensis runs on Linux too). Included from
# Packaging.cmake on Windows, before CPack.
#
# The installer puts the program folder under "Program Files\Quillora", adds
# a Start-menu entry and an uninstaller and registers it for "Apps and
# features". The program, installed there, keeps its settings and recording
# in the user's folder (%LOCALAPPDATA%\Quillora), which the uninstaller
# leaves alone: they are the user's.

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_FILE_NAME quillora-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Quillora)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Quillora)
# The Start-menu entry: quillora.exe at the top of the folder, as "Quillora".
set(CPACK_PACKAGE_EXECUTABLES quillora Quillora)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME "Quillora")
set(CPACK_NSIS_DISPLAY_NAME "Quillora")
set(CPACK_NSIS_MUI_ICON ${CMAKE_CURRENT_LIST_DIR}/windows/quillora.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_CURRENT_LIST_DIR}/windows/quillora.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME quillora.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MODIFY_PATH OFF)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
# A 64-bit installer for the 64-bit program (NSIS 3's amd64 stubs).
set(CPACK_NSIS_DEFINES "  Target amd64-unicode")
set(CPACK_NSIS_MUI_FINISHPAGE_RUN quillora.exe)
if(EXISTS ${PROJECT_SOURCE_DIR}/LICENSE)
  set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
else()
  set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/README.md)
endif()
