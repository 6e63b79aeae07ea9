# SPDX-License-Identifier: Apache-2.0
# Storage engine: cat vs full dump vs Jet walk of a whole database file.
add_executable(ese_bench ${CMAKE_CURRENT_LIST_DIR}/ese_bench.cpp)
corvadex_warnings(ese_bench)
target_link_libraries(ese_bench PRIVATE corvadex_ese)
add_dependencies(ese_bench corvadex-cli)
