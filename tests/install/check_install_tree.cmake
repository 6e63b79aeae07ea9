# SPDX-License-Identifier: Apache-2.0
# Installs the build into an empty prefix and checks what it holds: both
# programs (which run from there), the desktop entry, the icon as SVG and as
# PNGs of the right sizes, the manual pages, the AppStream data and the
# documentation; then the validators' verdict on the desktop entry and the
# AppStream data.
# cmake -DBUILD_DIR=... -DPREFIX=... -DVERSION=... -DWINDOW=ON|OFF
#       [-DGUIDE_HTML=ON|OFF] [-DSOURCE_DIR=...] [-DDESKTOP_FILE_VALIDATE=...]
#       [-DAPPSTREAMCLI=...] [-DUPDATE_MIME_DATABASE=...] [-DXDG_MIME=...]
#       -P check_install_tree.cmake
# With update-mime-database and xdg-mime, the installed file type is then
# asked for a contacts.edb and for a database under another name (its
# signature alone).
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
  RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE err)
if(status)
  message(FATAL_ERROR "cmake --install failed:\n${err}")
endif()

set(expected
  bin/corvadex-cli
  share/man/man1/corvadex-cli.1.gz
  share/doc/corvadex/README.md
  share/doc/corvadex/LICENSE)
set(icon_sizes 16 22 24 32 48 64 128 256)
if(WINDOW)
  list(APPEND expected
    bin/corvadex
    share/man/man1/corvadex.1.gz
    share/applications/corvadex.desktop
    share/mime/packages/corvadex-ese.xml
    share/metainfo/io.github.corvadex.corvadex.metainfo.xml
    share/icons/hicolor/scalable/apps/corvadex.svg)
  foreach(size IN LISTS icon_sizes)
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/corvadex.png)
  endforeach()
  # The user's guide: HTML with the pictures it shows, or its Markdown text.
  if(GUIDE_HTML)
    list(APPEND expected share/doc/corvadex/guide.html)
    file(GLOB pictures RELATIVE ${SOURCE_DIR}/docs ${SOURCE_DIR}/docs/*.png)
    foreach(picture IN LISTS pictures)
      list(APPEND expected share/doc/corvadex/${picture})
    endforeach()
  else()
    list(APPEND expected share/doc/corvadex/guide.md)
  endif()
endif()

# Every expected file and nothing else (the package's own files stay out).
file(GLOB_RECURSE found RELATIVE ${PREFIX} ${PREFIX}/*)
list(SORT found)
list(SORT expected)
if(NOT found STREQUAL expected)
  string(REPLACE ";" "\n  " found "${found}")
  string(REPLACE ";" "\n  " expected "${expected}")
  message(FATAL_ERROR "The installed tree holds\n  ${found}\nbut should hold\n  ${expected}")
endif()

# A PNG's width and height are the big-endian words at bytes 16 and 20.
if(WINDOW)
  foreach(size IN LISTS icon_sizes)
    file(READ ${PREFIX}/share/icons/hicolor/${size}x${size}/apps/corvadex.png header LIMIT 24 HEX)
    string(SUBSTRING "${header}" 32 16 dimensions)
    string(SUBSTRING "${dimensions}" 0 8 w)
    string(SUBSTRING "${dimensions}" 8 8 h)
    math(EXPR w "0x${w}")
    math(EXPR h "0x${h}")
    if(NOT header MATCHES "^89504e47" OR NOT w EQUAL size OR NOT h EQUAL size)
      message(FATAL_ERROR "The ${size}x${size} icon is not a ${size} by ${size} PNG (${w} by ${h})")
    endif()
  endforeach()
endif()

# The installed programs run from the prefix and carry the version.
set(programs corvadex-cli)
if(WINDOW)
  list(APPEND programs corvadex)
endif()
foreach(program IN LISTS programs)
  execute_process(COMMAND ${PREFIX}/bin/${program} --version
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(status OR NOT out STREQUAL "corvadex ${VERSION}\n")
    message(FATAL_ERROR "installed ${program} --version: status ${status}, printed '${out}${err}'")
  endif()
endforeach()

# The manual pages carry the version and are well-formed roff (man warns on
# stderr about anything it cannot format cleanly).
find_program(MAN man)
foreach(program IN LISTS programs)
  set(page ${PREFIX}/share/man/man1/${program}.1.gz)
  if(MAN)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env MANWIDTH=80 LC_ALL=C.UTF-8
                            ${MAN} --warnings -E UTF-8 -l ${page}
      RESULT_VARIABLE status OUTPUT_VARIABLE text ERROR_VARIABLE err)
    if(status OR NOT err STREQUAL "" OR NOT text MATCHES "corvadex ${VERSION}")
      message(FATAL_ERROR "man ${page}: status ${status}\n${err}")
    endif()
  endif()
endforeach()

if(NOT WINDOW)
  return()
endif()
set(skipped)
if(DESKTOP_FILE_VALIDATE)
  execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${PREFIX}/share/applications/corvadex.desktop
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(status OR NOT "${out}${err}" STREQUAL "")
    message(FATAL_ERROR "desktop-file-validate: status ${status}\n${out}${err}")
  endif()
else()
  list(APPEND skipped desktop-file-validate)
endif()
if(APPSTREAMCLI)
  foreach(check "validate;--no-net;${PREFIX}/share/metainfo/io.github.corvadex.corvadex.metainfo.xml"
                "validate-tree;--no-net;${PREFIX}")
    execute_process(COMMAND ${APPSTREAMCLI} ${check}
      RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(status)
      message(FATAL_ERROR "appstreamcli ${check}: status ${status}\n${out}${err}")
    endif()
  endforeach()
else()
  list(APPEND skipped appstreamcli)
endif()
if(UPDATE_MIME_DATABASE AND XDG_MIME)
  set(mime_dir ${PREFIX}/share/mime)
  execute_process(COMMAND ${UPDATE_MIME_DATABASE} ${mime_dir} RESULT_VARIABLE status ERROR_VARIABLE err)
  if(status)
    message(FATAL_ERROR "update-mime-database: status ${status}\n${err}")
  endif()
  file(GLOB databases ${SOURCE_DIR}/tests/data/ese/*.edb)
  list(GET databases 0 database)
  file(MAKE_DIRECTORY ${PREFIX}/files)
  configure_file(${database} ${PREFIX}/files/contacts.edb COPYONLY)
  configure_file(${database} ${PREFIX}/files/address-book.dat COPYONLY)
  foreach(name contacts.edb address-book.dat)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env --unset=XDG_CURRENT_DESKTOP --unset=KDE_FULL_SESSION
              --unset=GNOME_DESKTOP_SESSION_ID XDG_DATA_HOME=${PREFIX}/share
              XDG_DATA_DIRS=${PREFIX}/share:/usr/share ${XDG_MIME} query filetype ${PREFIX}/files/${name}
      RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(status OR NOT out STREQUAL "application/x-ese-database")
      message(FATAL_ERROR "xdg-mime query filetype ${name}: status ${status}, '${out}' ${err}")
    endif()
  endforeach()
  file(REMOVE_RECURSE ${PREFIX}/files)
else()
  list(APPEND skipped "update-mime-database or xdg-mime")
endif()
if(skipped)
  list(JOIN skipped " and " skipped)
  message("SKIPPED: the installed tree is right, but ${skipped} is not installed to validate it")
endif()
