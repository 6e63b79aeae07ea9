# SPDX-License-Identifier: Apache-2.0
# Value decompression: pure functions, no files.
corvadex_gtest(ese_value_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/compression_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/compression_real_data_test.cpp
  LIBS corvadex_ese)

# The engine's status texts, in the message log lines a failing read writes.
corvadex_gtest(ese_error_text_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/error_text_test.cpp
  LIBS corvadex_store)
add_dependencies(ese_error_text_tests make-contacts-db)
