# Cross-built test programs run under Wine. This writes a launcher into the
# build folder that uses the build's own Wine prefix (unless WINEPREFIX is
# already set), keeps Wine quiet and selects the PulseAudio driver only, and
# makes it the emulator through which add_test, ctest and
# gtest_discover_tests start the programs. Test discovery is deferred to the
# test run, so building needs no Wine.

if(NOT QUILLORA_WINE)
  find_program(QUILLORA_WINE NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
endif()
if(NOT QUILLORA_WINE)
  find_program(QUILLORA_WINE NAMES wine64 wine)
endif()

if(QUILLORA_WINE)
  # Programs that use Qt's DLLs find them, and the MinGW run time that Qt's
  # plug-ins import, through Wine's search path (Z: is the Unix root).
  set(QUILLORA_WINEPATH "")
  if(TARGET Qt6::Core)
    get_target_property(_quillora_qtcore Qt6::Core IMPORTED_LOCATION_RELEASE)
    get_filename_component(_quillora_qtbin "${_quillora_qtcore}" DIRECTORY)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-libgcc-file-name
                    OUTPUT_VARIABLE _quillora_libgcc OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(_quillora_gccdir "${_quillora_libgcc}" DIRECTORY)
    foreach(_quillora_dir ${_quillora_qtbin} ${_quillora_gccdir} /usr/${QUILLORA_MINGW_TRIPLET}/lib)
      string(REPLACE "/" "\\" _quillora_dir "Z:${_quillora_dir}")
      string(APPEND QUILLORA_WINEPATH "${_quillora_dir};")
    endforeach()
  endif()
  set(QUILLORA_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH
      "Wine prefix in which the cross-built tests run")
  configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in
                 ${CMAKE_BINARY_DIR}/wine-run.sh @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
                                  GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
  set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
else()
  message(STATUS "Wine not found: the cross-built tests can be built but not run here")
endif()
