# What `cmake --install` puts where, and the Debian package built from it (cpack -G DEB).

install(TARGETS veltraw veltraw-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET veltraw-cli)
  install(TARGETS veltraw-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${CMAKE_SOURCE_DIR}/man/veltraw.1 ${CMAKE_SOURCE_DIR}/man/veltraw-cli.1
              ${CMAKE_SOURCE_DIR}/man/veltraw-sim.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# Marks the tree as installed: the programs then keep their settings per user.
file(WRITE ${CMAKE_BINARY_DIR}/installed "veltraw\n")
install(FILES ${CMAKE_BINARY_DIR}/installed DESTINATION ${CMAKE_INSTALL_DATADIR}/veltraw)
if(EXISTS ${CMAKE_SOURCE_DIR}/docs/manual)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/manual/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/manual PATTERN "shots" EXCLUDE)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME veltraw)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "veltraw developers <veltraw@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "control program of the VELTRA2 on-board PIC programmer")
set(CPACK_PACKAGE_DESCRIPTION "Writes Intel HEX files into a 14-bit-core PIC through the VELTRA2 writer on a
serial port, reads it back, verifies, erases, and edits its data EEPROM: a Japanese
window program (veltraw), a command line (veltraw-cli) and a simulated writer to try
them without the hardware (veltraw-sim).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own Japanese strings for the standard buttons and dialogs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
include(CPack)
