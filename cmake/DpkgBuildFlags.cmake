# Debian's build flags for the Debian package: stack protector, fortified
# functions, read-only relocations and immediate binding (hardening=+all
# unless DEB_BUILD_MAINT_OPTIONS says otherwise). Off for everyday builds.
option(QUILLORA_DPKG_BUILDFLAGS
  "Compile and link with the flags of dpkg-buildflags (for the Debian package)" OFF)

if(QUILLORA_DPKG_BUILDFLAGS)
  find_program(QUILLORA_DPKG_BUILDFLAGS_EXE dpkg-buildflags)
  if(NOT QUILLORA_DPKG_BUILDFLAGS_EXE)
    message(FATAL_ERROR "QUILLORA_DPKG_BUILDFLAGS needs dpkg-buildflags (package dpkg-dev)")
  endif()
  if(NOT DEFINED ENV{DEB_BUILD_MAINT_OPTIONS})
    set(ENV{DEB_BUILD_MAINT_OPTIONS} "hardening=+all")
  endif()
  foreach(_var CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(COMMAND ${QUILLORA_DPKG_BUILDFLAGS_EXE} --get ${_var}
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
      OUTPUT_VARIABLE _flags OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE _rc)
    if(NOT _rc EQUAL 0)
      message(FATAL_ERROR "dpkg-buildflags --get ${_var} failed: ${_rc}")
    endif()
    set(_dpkg_${_var} "${_flags}")
  endforeach()
  string(APPEND CMAKE_CXX_FLAGS " ${_dpkg_CPPFLAGS} ${_dpkg_CXXFLAGS}")
  string(APPEND CMAKE_EXE_LINKER_FLAGS " ${_dpkg_LDFLAGS}")
  string(APPEND CMAKE_SHARED_LINKER_FLAGS " ${_dpkg_LDFLAGS}")
  message(STATUS "dpkg-buildflags: ${_dpkg_CPPFLAGS} ${_dpkg_CXXFLAGS} | ${_dpkg_LDFLAGS}")
endif()
