# SPDX-License-Identifier: Apache-2.0
# How the tests' own code is compiled. The programs and libraries keep the
# build type's flags; the test programs are built for a short build:
# - in RelWithDebInfo at -O1 with line tables only (a test's time goes to the
#   libraries it drives, which keep -O2 -g);
# - as unity builds (each test program's sources compiled together, so the
#   test framework's headers and templates are compiled once per program);
# - with the framework's headers precompiled once, by the first test program
#   of that framework, and reused by the others (their flags are the same).
# -DCORVADEX_TEST_UNITY=OFF -DCMAKE_DISABLE_PRECOMPILE_HEADERS=ON builds them
# file by file, which shows a test file that does not include what it uses.
option(CORVADEX_TEST_UNITY "Build each test program's sources as one unity file" ON)

function(corvadex_test_code target)
  target_compile_options(${target} PRIVATE "$<$<CONFIG:RelWithDebInfo>:-O1;-g1>")
  if(CORVADEX_TEST_UNITY)
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON)
  endif()
endfunction()

# corvadex_test_headers(TARGET FRAMEWORK HEADER...): the first target of a
# framework precompiles the headers; the later ones reuse its precompiled
# header.
function(corvadex_test_headers target framework)
  get_property(owner GLOBAL PROPERTY corvadex_test_headers_${framework})
  if(owner)
    target_precompile_headers(${target} REUSE_FROM ${owner})
  else()
    set_property(GLOBAL PROPERTY corvadex_test_headers_${framework} ${target})
    target_precompile_headers(${target} PRIVATE ${ARGN})
  endif()
endfunction()

# What (nearly) every GoogleTest file includes.
set(CORVADEX_GTEST_HEADERS
  <gtest/gtest.h> <gmock/gmock.h>
  <algorithm> <cstdint> <cstdlib> <filesystem> <functional> <map> <memory>
  <optional> <stdexcept> <string> <string_view> <vector>)
# What the Qt Test tests of the window include.
set(CORVADEX_QTEST_HEADERS
  <QTest> <QApplication> <QCoreApplication> <QDialog> <QDir> <QFile> <QLabel>
  <QLineEdit> <QPlainTextEdit> <QPushButton> <QRadioButton> <QString>
  <QTemporaryDir> <QWidget>
  <memory> <string> <vector>)

# Adds a GoogleTest executable made of the given sources, linked to the given
# libraries and the tests' support library, and registers its tests with CTest.
function(corvadex_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  corvadex_warnings(${name})
  corvadex_test_code(${name})
  corvadex_test_headers(${name} gtest ${CORVADEX_GTEST_HEADERS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} corvadex_test_support
                        GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    CORVADEX_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    CORVADEX_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 600)
endfunction()
