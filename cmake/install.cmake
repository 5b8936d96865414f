# SPDX-License-Identifier: GPL-3.0-or-later
# What `cmake --install` puts where, and the Debian package built from it (cpack -G DEB).

install(TARGETS veltraw veltraw-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET veltraw-cli)
  install(TARGETS veltraw-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# No path of the source or build folder ends up in a shipped program (file names, debug
# information): two builds in different folders give the same package. The build folder's map
# comes last so it wins where the build folder lies inside the source folder. Tests keep theirs.
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  foreach(t veltraw_core veltraw_gui veltraw veltraw-cli veltraw_sim veltraw-sim)
    if(TARGET ${t})
      target_compile_options(${t} PRIVATE -ffile-prefix-map=${CMAKE_SOURCE_DIR}=.
                                          -ffile-prefix-map=${CMAKE_BINARY_DIR}=.)
    endif()
  endforeach()
endif()

# Man pages and the changelog go in as Debian wants them: gzip -9n, so two builds give the same
# bytes (no name, no time stamp in the header).
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(pkgdir ${CMAKE_BINARY_DIR}/package)
set(gzipped)
foreach(pair "man/veltraw.1:veltraw.1.gz" "man/veltraw-cli.1:veltraw-cli.1.gz"
             "man/veltraw-sim.1:veltraw-sim.1.gz" "packaging/changelog:changelog.Debian.gz")
  string(REPLACE ":" ";" pair ${pair})
  list(GET pair 0 in)
  list(GET pair 1 out)
  add_custom_command(OUTPUT ${pkgdir}/${out}
                     COMMAND ${GZIP_EXECUTABLE} -9n -c ${CMAKE_SOURCE_DIR}/${in} > ${pkgdir}/${out}
                     DEPENDS ${CMAKE_SOURCE_DIR}/${in})
  list(APPEND gzipped ${pkgdir}/${out})
endforeach()
file(MAKE_DIRECTORY ${pkgdir})
add_custom_target(veltraw_package_files ALL DEPENDS ${gzipped})
install(FILES ${pkgdir}/veltraw.1.gz ${pkgdir}/veltraw-cli.1.gz ${pkgdir}/veltraw-sim.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${pkgdir}/changelog.Debian.gz packaging/copyright packaging/README.Debian
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES packaging/veltraw.doc-base DESTINATION ${CMAKE_INSTALL_DATADIR}/doc-base RENAME veltraw-manual)
install(FILES packaging/veltraw-en.doc-base DESTINATION ${CMAKE_INSTALL_DATADIR}/doc-base RENAME veltraw-manual-en)

# Marks the tree as installed: the programs then keep their settings per user.
file(WRITE ${CMAKE_BINARY_DIR}/installed "veltraw\n")
install(FILES ${CMAKE_BINARY_DIR}/installed DESTINATION ${CMAKE_INSTALL_DATADIR}/veltraw)

# The manual, Japanese and English (en/), lives with the program's data (a system may drop /usr/share/doc); the documentation
# folder links to it. A program run from the build folder finds it through build/share.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/manual/ DESTINATION ${CMAKE_INSTALL_DATADIR}/veltraw/manual
        PATTERN "shots" EXCLUDE)
file(RELATIVE_PATH manual_link ${CMAKE_INSTALL_FULL_DOCDIR} ${CMAKE_INSTALL_FULL_DATADIR}/veltraw/manual)
file(CREATE_LINK ${manual_link} ${pkgdir}/manual RESULT link_result SYMBOLIC)
install(FILES ${pkgdir}/manual DESTINATION ${CMAKE_INSTALL_DOCDIR})
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/share/veltraw)
# Where links cannot be made (Windows without the right), the build simply has no manual.
file(CREATE_LINK ${CMAKE_SOURCE_DIR}/docs/manual ${CMAKE_BINARY_DIR}/share/veltraw/manual RESULT link_result SYMBOLIC)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME veltraw)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# A Debian revision: the package is made from the released sources, so it carries
# changelog.Debian.gz (packaging/changelog, whose first entry names this version).
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_PACKAGE_CONTACT "veltraw developers <veltraw@users.noreply.github.com>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/veltraw/veltraw)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "control program of the VELTRA2 on-board PIC programmer")
set(CPACK_PACKAGE_DESCRIPTION "Writes Intel HEX files into a 14-bit-core PIC through the VELTRA2
writer on a serial port, reads it back, verifies, erases, and edits its data
EEPROM: a window program (veltraw) and a command line (veltraw-cli), in
English or Japanese as the locale chooses, and a simulated writer to try them
without the hardware (veltraw-sim).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# Qt's own Japanese strings for the standard buttons and dialogs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
# Japanese text needs a CJK font; xdg-open hands the manual to a browser.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-ipafont-gothic, xdg-utils")
include(CPack)
