# Warnings are errors in our own code; third-party headers are included as
# system headers by their imported targets and stay quiet.
function(corvadex_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
    -Wnon-virtual-dtor -Woverloaded-virtual -Werror)
endfunction()

# Adds a GoogleTest executable made of the given sources, linked to the given
# libraries and the tests' support library, and registers its tests with CTest.
function(corvadex_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  corvadex_warnings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} corvadex_test_support
                        GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    CORVADEX_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    CORVADEX_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 600)
endfunction()
