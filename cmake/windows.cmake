# SPDX-License-Identifier: Apache-2.0
# The Windows build (cross-built with cmake/mingw-w64-x86_64.cmake): the
# command line and the window of the common controls (not the Qt one), each
# program one file with its version resource and manifest, the tests run
# under Wine in a prefix inside the build folder.
if(CORVADEX_WINDOW)
  message(FATAL_ERROR "The Qt window is not built for Windows: configure with -DCORVADEX_WINDOW=OFF")
endif()
enable_language(RC)

if(CMAKE_CROSSCOMPILING)
  find_program(CORVADEX_WINE wine REQUIRED)
  set(CORVADEX_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  # The test programs are asked for their tests when the tests run, not
  # when they are built: the build needs no Wine.
  set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
  set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_SOURCE_DIR}/tests/windows/wine-run ${CORVADEX_WINEPREFIX})
endif()

# GoogleTest built from Debian's sources with the cross compiler (Debian's
# libgtest is for Linux only).
macro(corvadex_windows_gtest)
  set(CORVADEX_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources")
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(${CORVADEX_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # GoogleTest's own CMake names its targets GTest::gtest and so on too.
  foreach(lib gtest gtest_main gmock gmock_main)
    if(NOT TARGET GTest::${lib})
      add_library(GTest::${lib} ALIAS ${lib})
    endif()
  endforeach()
endmacro()

# The icon, 16 to 256 pixels, drawn from the desktop icon's SVG by
# packaging/windows/make-icon (the test windows_icon keeps it up to date).
set(CORVADEX_ICO ${CMAKE_SOURCE_DIR}/packaging/windows/corvadex.ico)

# A program's version resource (the version from project()) and its
# application manifest: `target` gets the resource script built from
# packaging/windows/corvadex.rc.in, describing it as `description`.
function(corvadex_windows_resources target file_name description)
  set(CORVADEX_RC_FILE_NAME ${file_name})
  set(CORVADEX_RC_DESCRIPTION ${description})
  set(CORVADEX_RC_ICON ${CORVADEX_ICO})
  set(CORVADEX_RC_MANIFEST ${CMAKE_SOURCE_DIR}/packaging/windows/corvadex.manifest)
  set(rc ${CMAKE_BINARY_DIR}/generated/${target}.rc)
  configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/corvadex.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  set_property(SOURCE ${rc} APPEND PROPERTY OBJECT_DEPENDS
    ${CORVADEX_RC_ICON} ${CORVADEX_RC_MANIFEST})
endfunction()
