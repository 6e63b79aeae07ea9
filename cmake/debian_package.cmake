# SPDX-License-Identifier: Apache-2.0
# The Debian package, made by CPack (`./dev package`, or `cpack -G DEB` in a
# build configured with CMAKE_INSTALL_PREFIX=/usr). Its dependencies are
# worked out from the programs by dpkg-shlibdeps.
set(CORVADEX_MAINTAINER "Corvadex team <corvadex@users.noreply.github.com>"
  CACHE STRING "The Debian package's maintainer")
set(CORVADEX_DEBIAN_RELEASE 1 CACHE STRING "The Debian revision of the package")

set(CPACK_PACKAGE_NAME corvadex)
set(CPACK_PACKAGE_VENDOR "Corvadex team")
set(CPACK_PACKAGE_CONTACT "${CORVADEX_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "view and export the contacts of contacts.edb address books")
set(CPACK_PACKAGE_DESCRIPTION
  "Corvadex opens the address book of a discontinued Windows mail client, its
contacts database contacts.edb (an Extensible Storage Engine file), strictly
read-only. It lists every contact, shows the selected contact's details and
exports all contacts to XML. The file can come from an old PC, a mounted
Windows disk or a Wine prefix, where Corvadex finds it at start-up.

The command line tool corvadex-cli lists the database's tables, dumps them as
JSON and exports the contacts to XML, CSV or vCard.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
# The plain install and, from its own component, the package's copyright
# and changelog files.
set(CPACK_INSTALL_CMAKE_PROJECTS
  "${CMAKE_BINARY_DIR};Corvadex;ALL;/"
  "${CMAKE_BINARY_DIR};Corvadex;debian;/")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${CORVADEX_DEBIAN_RELEASE})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CORVADEX_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${CORVADEX_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own texts (the file dialogs, the message boxes' buttons) in the
# user's language; without them those stay English.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Directories 0755 and files 0644 whatever the umask of the build.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

include(CPack)
