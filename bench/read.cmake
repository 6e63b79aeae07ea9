# SPDX-License-Identifier: Apache-2.0
# read_bench: ReadDatabase on generated contacts databases, beside
# corvadex-cli read and esedbexport exporting the same table.
add_executable(read_bench ${CMAKE_CURRENT_LIST_DIR}/read_bench.cpp)
corvadex_warnings(read_bench)
target_link_libraries(read_bench PRIVATE corvadex_store)
target_compile_definitions(read_bench PRIVATE CORVADEX_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
if(TARGET make-contacts-db)
  add_dependencies(read_bench make-contacts-db corvadex-cli)
endif()
