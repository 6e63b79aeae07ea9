# SPDX-License-Identifier: Apache-2.0
# The Windows build (cross-built with cmake/mingw-w64-x86_64.cmake): the
# command line only, each program one file with its version resource and
# manifest, the tests run under Wine in a prefix inside the build folder.
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

# The icon, 16 to 256 pixels, drawn from the desktop icon's SVG; the
# largest kept as PNG inside the .ico, as Windows Vista and later read it.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_program(ICOTOOL icotool REQUIRED)
set(CORVADEX_ICO ${CMAKE_BINARY_DIR}/generated/corvadex.ico)
set(icon_svg ${CMAKE_SOURCE_DIR}/src/window/desktop/corvadex.svg)
set(icon_pngs)
set(icon_commands)
foreach(size 16 24 32 48 64 128 256)
  set(png ${CMAKE_BINARY_DIR}/generated/icon-${size}.png)
  list(APPEND icon_commands COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${icon_svg})
  if(size EQUAL 256)
    list(APPEND icon_pngs -r ${png})
  else()
    list(APPEND icon_pngs ${png})
  endif()
endforeach()
add_custom_command(OUTPUT ${CORVADEX_ICO}
  ${icon_commands}
  COMMAND ${ICOTOOL} -c -o ${CORVADEX_ICO} ${icon_pngs}
  DEPENDS ${icon_svg}
  COMMENT "Drawing the Windows icon")
add_custom_target(corvadex_windows_icon DEPENDS ${CORVADEX_ICO})

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
  add_dependencies(${target} corvadex_windows_icon)
  set_property(SOURCE ${rc} APPEND PROPERTY OBJECT_DEPENDS
    ${CORVADEX_RC_ICON} ${CORVADEX_RC_MANIFEST})
endfunction()
