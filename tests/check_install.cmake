# Installs the build into a scratch prefix, and packs it as a .deb, and checks that every file is
# where the desktop and the package tools expect it:
#   cmake -DBUILD=<build dir> -DWORK=<scratch dir> -DMODE=install|deb -P check_install.cmake
cmake_minimum_required(VERSION 3.22)
set(expected
  bin/veltraw bin/veltraw-sim bin/veltraw-cli
  share/applications/io.github.veltraw.veltraw.desktop
  share/metainfo/io.github.veltraw.veltraw.metainfo.xml
  share/icons/hicolor/scalable/apps/veltraw.svg
  share/man/man1/veltraw.1 share/man/man1/veltraw-cli.1 share/man/man1/veltraw-sim.1
  share/doc/veltraw/examples/blink.hex share/doc/veltraw/examples/eeprom.hex
  share/doc/veltraw/examples/eeprom-data.txt
  share/veltraw/installed)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
if(MODE STREQUAL "install")
  set(root ${WORK}/prefix)
  execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${root}
                  RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
  if(rc)
    message(FATAL_ERROR "cmake --install failed: ${err}")
  endif()
elseif(MODE STREQUAL "deb")
  execute_process(COMMAND cpack -G DEB -B ${WORK}/pack --config ${BUILD}/CPackConfig.cmake
                  WORKING_DIRECTORY ${BUILD} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  file(GLOB debs ${WORK}/pack/*.deb)
  if(rc OR NOT debs)
    message(FATAL_ERROR "cpack failed: ${out} ${err}")
  endif()
  list(GET debs 0 deb)
  execute_process(COMMAND dpkg-deb -x ${deb} ${WORK}/unpacked RESULT_VARIABLE rc)
  execute_process(COMMAND dpkg-deb -f ${deb} Depends Section OUTPUT_VARIABLE fields RESULT_VARIABLE rc2)
  if(rc OR rc2)
    message(FATAL_ERROR "dpkg-deb cannot read ${deb}")
  endif()
  foreach(want "qt6-translations-l10n" "libqt6serialport6" "libqt6widgets6" "Section: electronics")
    string(FIND "${fields}" "${want}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "the package's fields lack ${want}:\n${fields}")
    endif()
  endforeach()
  set(root ${WORK}/unpacked/usr)
else()
  message(FATAL_ERROR "MODE must be install or deb")
endif()

foreach(f ${expected})
  if(NOT EXISTS ${root}/${f})
    message(FATAL_ERROR "missing after ${MODE}: ${f}")
  endif()
endforeach()

find_program(DFV desktop-file-validate)
if(DFV)
  execute_process(COMMAND ${DFV} ${root}/share/applications/io.github.veltraw.veltraw.desktop
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(rc)
    message(FATAL_ERROR "desktop-file-validate: ${out}")
  endif()
endif()
find_program(ASC appstreamcli)
if(ASC)
  execute_process(COMMAND ${ASC} validate-tree --no-net ${root}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(rc)
    message(FATAL_ERROR "appstreamcli validate-tree: ${out}")
  endif()
endif()
message(STATUS "${MODE}: every file in place")
