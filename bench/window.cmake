# SPDX-License-Identifier: Apache-2.0
# window_bench: how the window copes with a large contact list (the list view
# over a million rows): load, first paint, selection, scrolling, memory.
if(CORVADEX_WINDOW)
  add_executable(window_bench ${CMAKE_CURRENT_LIST_DIR}/window_bench.cpp)
  corvadex_warnings(window_bench)
  target_link_libraries(window_bench PRIVATE corvadex_window Qt6::Test)
endif()
