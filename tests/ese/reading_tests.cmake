# Whole-file readings of the real samples: damaged copies, and the promise
# that reading never changes or creates a file.
add_library(ese_test_support STATIC
  ${CMAKE_CURRENT_LIST_DIR}/read_everything.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sample_files.cpp)
target_link_libraries(ese_test_support PUBLIC corvadex_ese)
target_include_directories(ese_test_support PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_compile_definitions(ese_test_support PUBLIC CORVADEX_SHARED_DIR="${CORVADEX_SHARED_DIR}")
corvadex_warnings(ese_test_support)

corvadex_gtest(ese_damage_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/damage_test.cpp
  LIBS ese_test_support)
add_dependencies(ese_damage_tests corvadex-cli make-contacts-db)

corvadex_gtest(ese_read_only_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/read_only_test.cpp
  LIBS ese_test_support)

corvadex_gtest(ese_looping_links_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/looping_links_test.cpp
  LIBS ese_test_support)
add_dependencies(ese_looping_links_tests make-contacts-db)

corvadex_gtest(ese_hostile_file_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/hostile_file_test.cpp
  LIBS ese_test_support)
add_dependencies(ese_hostile_file_tests make-contacts-db)
