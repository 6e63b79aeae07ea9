# SPDX-License-Identifier: Apache-2.0
# Whole-file readings of the real samples: damaged copies, and the promise
# that reading never changes or creates a file.
add_library(ese_read_everything STATIC ${CMAKE_CURRENT_LIST_DIR}/read_everything.cpp)
target_link_libraries(ese_read_everything PUBLIC corvadex_ese)
target_include_directories(ese_read_everything PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_compile_definitions(ese_read_everything PRIVATE CORVADEX_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
corvadex_warnings(ese_read_everything)
corvadex_test_code(ese_read_everything)

corvadex_gtest(ese_damage_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/damage_test.cpp
  LIBS ese_read_everything)
add_dependencies(ese_damage_tests corvadex-cli make-contacts-db)

corvadex_gtest(ese_read_only_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/read_only_test.cpp
  LIBS ese_read_everything)

corvadex_gtest(ese_looping_links_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/looping_links_test.cpp
  LIBS ese_read_everything)
add_dependencies(ese_looping_links_tests corvadex-cli make-contacts-db)

corvadex_gtest(ese_hostile_file_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/hostile_file_test.cpp
  LIBS corvadex_ese)
add_dependencies(ese_hostile_file_tests make-contacts-db)

corvadex_gtest(ese_damage_kinds_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/damage_kinds_test.cpp ${CMAKE_CURRENT_LIST_DIR}/page_patch.cpp
  LIBS corvadex_ese)
add_dependencies(ese_damage_kinds_tests corvadex-cli make-contacts-db)

corvadex_gtest(ese_read_ahead_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/read_ahead_test.cpp
  LIBS ese_read_everything)
add_dependencies(ese_read_ahead_tests make-contacts-db)
