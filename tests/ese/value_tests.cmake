# SPDX-License-Identifier: Apache-2.0
# Value decompression and the engine's error texts: pure functions, no files.
corvadex_gtest(ese_value_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/compression_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/compression_real_data_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/error_text_test.cpp
  LIBS corvadex_ese)
