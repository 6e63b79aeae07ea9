# SPDX-License-Identifier: Apache-2.0
# Start-up cost of the Wine prefix view: parsing Wine-sized registry files and
# running the start-up location on them.
add_executable(bench_windows_view ${CMAKE_CURRENT_LIST_DIR}/windows_view_bench.cpp)
corvadex_warnings(bench_windows_view)
target_link_libraries(bench_windows_view PRIVATE corvadex_location)
target_link_libraries(bench_windows_view PRIVATE corvadex_base)
