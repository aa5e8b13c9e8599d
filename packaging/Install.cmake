# Installs Listwright as a desktop application, and packs it as a Debian package:
#   cmake --install <build>            the program, its menu entry, its icons, its software
#                                      centre description and its manual page
#   cd <build> && cpack                listwright_<version>_<arch>.deb
include(GNUInstallDirs)

install(TARGETS listwright RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The menu entry's comment is the program's own description.
configure_file(${CMAKE_CURRENT_LIST_DIR}/listwright.desktop.in
               ${CMAKE_CURRENT_BINARY_DIR}/listwright.desktop @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/listwright.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The software centres' description, and the manual page (plain; a package may compress it).
install(FILES ${CMAKE_CURRENT_LIST_DIR}/org.listwright.Listwright.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/listwright.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

foreach(size 16 32 48 64 128 256)
  install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/resources/icons/listwright-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME listwright.png)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME listwright)
set(CPACK_PACKAGE_VENDOR "${LISTWRIGHT_COMPANY}")
set(CPACK_PACKAGE_CONTACT "The Listwright authors <listwright@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "Lists a folder's subfolders with their sizes and its files with their sizes and modification times, and prints the list or saves it as a text file.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://listwright.example.org/")
# The libraries come from the program file itself; the faces the windows ask for come from
# the font packages (Arial's and Courier New's metric twins, and DejaVu).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-dejavu-core")
set(CPACK_STRIP_FILES ON)
include(CPack)
