# GoogleTest and GoogleMock built from Debian's sources (package googletest,
# /usr/src/googletest) with the project's own toolchain. Used when
# cross-compiling, where no prebuilt GTest for the target exists. Provides the
# same targets as find_package(GTest): GTest::gtest, GTest::gtest_main,
# GTest::gmock, GTest::gmock_main.

set(QUILLORA_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH
    "GoogleTest sources to build with the target toolchain")
if(NOT EXISTS ${QUILLORA_GTEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found in ${QUILLORA_GTEST_SOURCE_DIR}: "
                      "install the googletest package or set QUILLORA_GTEST_SOURCE_DIR")
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)

# SYSTEM (CMake 3.25) keeps warnings from GoogleTest's headers out of the
# project's own compiles.
if(CMAKE_VERSION VERSION_GREATER_EQUAL 3.25)
  set(_quillora_gtest_system SYSTEM)
endif()
add_subdirectory(${QUILLORA_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest
                 EXCLUDE_FROM_ALL ${_quillora_gtest_system})

foreach(_quillora_gtest_target gtest gtest_main gmock gmock_main)
  if(NOT TARGET GTest::${_quillora_gtest_target})
    add_library(GTest::${_quillora_gtest_target} ALIAS ${_quillora_gtest_target})
  endif()
endforeach()
