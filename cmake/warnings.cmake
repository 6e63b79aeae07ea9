# SPDX-License-Identifier: Apache-2.0
# The warnings our own code is held to; with CORVADEX_WERROR (as ./dev and
# CI build) they are errors. Third-party headers are included as system
# headers by their imported targets and stay quiet.
function(corvadex_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
    -Wnon-virtual-dtor -Woverloaded-virtual)
  # GCC 12, optimising for speed or size, reports overlapping copies that
  # cannot happen inside libstdc++'s "literal" + std::string (GCC bug
  # 105329). Its -Wrestrict stays off in those two build types; the other
  # types and the sanitizer build still check.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
     AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE $<$<CONFIG:Release,MinSizeRel>:-Wno-restrict>)
  endif()
  if(CORVADEX_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
