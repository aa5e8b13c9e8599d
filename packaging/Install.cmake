# SPDX-License-Identifier: GPL-3.0-or-later
# Installs Listwright as a desktop application, and packs it as a Debian package:
#   cmake --install <build>            the program, its menu entry, icons, manual page and
#                                      metainfo, its copyright and changelog
#   cd <build> && cpack                listwright_<version>-<release>_<arch>.deb
include(GNUInstallDirs)

install(TARGETS listwright RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS listwright-window RUNTIME DESTINATION ${LISTWRIGHT_WINDOW_DIR})

# The menu entry's comment is the program's own description.
configure_file(${CMAKE_CURRENT_LIST_DIR}/listwright.desktop.in
               ${CMAKE_CURRENT_BINARY_DIR}/listwright.desktop @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/listwright.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

foreach(size 16 32 48 64 128 256)
  install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/resources/icons/listwright-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME listwright.png)
endforeach()

# The software centres' description.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/org.listwright.Listwright.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The manual page and the changelog go in compressed as Debian wants them: gzip -9, without the
# file's name and time, so that the same sources give the same bytes.
set(listwright_compressed)
function(listwright_gzip source output)
  add_custom_command(OUTPUT ${output}
                     COMMAND gzip -9nc ${source} > ${output}
                     DEPENDS ${source}
                     COMMENT "Compressing ${source}")
  set(listwright_compressed ${listwright_compressed} ${output} PARENT_SCOPE)
endfunction()
listwright_gzip(${CMAKE_CURRENT_LIST_DIR}/listwright.1 ${CMAKE_CURRENT_BINARY_DIR}/listwright.1.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/listwright.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
listwright_gzip(${CMAKE_CURRENT_LIST_DIR}/changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz)
add_custom_target(listwright_docs ALL DEPENDS ${listwright_compressed})

# Debian's documentation folder is named after the package, lower case.
set(LISTWRIGHT_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/listwright)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz
        DESTINATION ${LISTWRIGHT_DOCDIR})

# The package is made by the project, not uploaded to Debian: its first changelog entry closes
# no bug that asked for it, which lintian otherwise warns of.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME listwright)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME listwright)
set(CPACK_PACKAGE_VENDOR "${LISTWRIGHT_COMPANY}")
set(CPACK_PACKAGE_CONTACT "The Listwright authors <listwright@example.org>")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
# The release is the number of the package's own changelog entry (packaging/changelog).
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
# The synopsis: at most 80 characters, no leading article. The extended description below it:
# lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "print or save a list of folders with their sizes, and their files")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Listwright lists what a folder holds: its subfolders, optionally with the
total size below each, and its files, optionally with their sizes and
modification dates and optionally from every folder below. The list goes to
any installed printer in a chosen font, size, indentation and page title, or
into a text file named after the title.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://listwright.example.org/")
# The libraries come from the program file itself; the faces the windows ask for come from
# the font packages (Arial's and Courier New's metric twins, and DejaVu).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-dejavu-core")
# The toolkit's Wayland plugin: without it a Wayland session shows the window through Xwayland,
# or, with no X11 display either, says it has none.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_STRIP_FILES ON)
include(CPack)
