# SPDX-License-Identifier: Apache-2.0
# export_bench: time and peak memory of writing a large contact list as XML
# (and, for comparison, CSV and vCard); with --db, of reading it first.
add_executable(export_bench ${CMAKE_CURRENT_LIST_DIR}/export_bench.cpp)
corvadex_warnings(export_bench)
target_link_libraries(export_bench PRIVATE corvadex_base corvadex_export corvadex_store corvadex_ese)
