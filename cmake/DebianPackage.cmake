# make package (cpack in a build made for /usr): sorabel_VERSION_ARCH.deb.
# Its dependencies are the libraries the program links, found by
# dpkg-shlibdeps, and what Qt loads at run time: the SVG plug-in for the tool
# bar's icons, Qt's Japanese texts and a Japanese font. The desktop's caches
# are refreshed by the triggers of shared-mime-info, desktop-file-utils and
# the icon theme, so the package needs no maintainer scripts.
find_program(DPKG_PROGRAM dpkg)
if(NOT DPKG_PROGRAM)
  return()
endif()
execute_process(COMMAND ${DPKG_PROGRAM} --print-architecture
  OUTPUT_VARIABLE SORABEL_DEB_ARCH OUTPUT_STRIP_TRAILING_WHITESPACE)

# Whoever builds the package maintains it; by default the project's own
# committers as the last commit names them.
execute_process(COMMAND git -C ${CMAKE_CURRENT_SOURCE_DIR} log -1 "--format=%an <%ae>"
  OUTPUT_VARIABLE SORABEL_LAST_AUTHOR OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(NOT SORABEL_LAST_AUTHOR)
  set(SORABEL_LAST_AUTHOR "ソラベル開発チーム <sorabel@localhost.localdomain>")
endif()
set(SORABEL_PACKAGE_MAINTAINER "${SORABEL_LAST_AUTHOR}" CACHE STRING
  "Maintainer field of the Debian package: Name <address>")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sorabel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "ソラベル開発チーム")
set(CPACK_PACKAGE_CONTACT "${SORABEL_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${SORABEL_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "reading log in Japanese
Keeps a personal reading log: one record per book with title, reading,
genres, author, publisher, dates, impressions and notes, up to 2000 books in
one catalogue file (*.srb, Shift-JIS text). A book list sorts and searches
the records, reading statistics chart the books finished per month and year,
and CSV files can be exported and imported, also from the command line.
The windows and the help are in Japanese.")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${SORABEL_DEB_ARCH})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, qt6-translations-l10n, fonts-ipafont-gothic")
set(CPACK_DEBIAN_FILE_NAME "sorabel_${PROJECT_VERSION}_${SORABEL_DEB_ARCH}.deb")
set(CPACK_STRIP_FILES ON)
# Installed under /usr whatever prefix the build was configured with; DESTDIR
# staging lets the install rules see the real prefix (the manual pages name it).
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_FILE_NAME "sorabel_${PROJECT_VERSION}_${SORABEL_DEB_ARCH}")
# What every Debian package carries besides the program: the copyright and
# changelog in /usr/share/doc/sorabel, and compressed manual pages.
set(SORABEL_DEB_DOC_SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/data/debian)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/cmake/DebianPackageExtras.cmake.in
  ${CMAKE_BINARY_DIR}/DebianPackageExtras.cmake @ONLY)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_BINARY_DIR}/DebianPackageExtras.cmake)
include(CPack)
