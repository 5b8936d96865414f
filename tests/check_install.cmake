# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a scratch prefix, and packs it as a .deb, and checks that every file is
# where the desktop and the package tools expect it, that the installed docs speak of the
# installed programs, that no program holds a path of the folders it was built from, and runs
# the installed programs (HOME in a scratch folder, nothing installed on this machine):
#   cmake -DBUILD=<build dir> -DSOURCE=<source dir> -DWORK=<scratch dir> -DMODE=install|deb
#         -P check_install.cmake
cmake_minimum_required(VERSION 3.22)
set(programs bin/veltraw bin/veltraw-sim bin/veltraw-cli)
set(expected ${programs}
  share/applications/io.github.veltraw.veltraw.desktop
  share/metainfo/io.github.veltraw.veltraw.metainfo.xml
  share/icons/hicolor/scalable/apps/veltraw.svg
  share/man/man1/veltraw.1.gz share/man/man1/veltraw-cli.1.gz share/man/man1/veltraw-sim.1.gz
  share/doc/veltraw/examples/blink.hex share/doc/veltraw/examples/eeprom.hex
  share/doc/veltraw/examples/eeprom-data.txt share/doc/veltraw/examples/README.md
  share/doc/veltraw/copyright share/doc/veltraw/changelog.Debian.gz share/doc/veltraw/README.Debian
  share/doc/veltraw/manual/index.html share/doc-base/veltraw-manual share/doc-base/veltraw-manual-en
  share/veltraw/manual/en/index.html share/veltraw/manual/en/images/main-window.png
  share/veltraw/manual/index.html share/veltraw/manual/images/main-window.png
  share/veltraw/installed)

function(fail)
  string(JOIN "" text ${ARGN})
  message(FATAL_ERROR "${MODE}: ${text}")
endfunction()

# Runs a command; `out` gets its standard output and error together.
function(run rc_var out_var)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  set(${rc_var} "${rc}" PARENT_SCOPE)
  set(${out_var} "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
if(MODE STREQUAL "install")
  set(root ${WORK}/prefix)
  run(rc err ${CMAKE_COMMAND} --install ${BUILD} --prefix ${root})
  if(rc)
    fail("cmake --install failed: ${err}")
  endif()
elseif(MODE STREQUAL "deb")
  execute_process(COMMAND cpack -G DEB -B ${WORK}/pack --config ${BUILD}/CPackConfig.cmake
                  WORKING_DIRECTORY ${BUILD} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  file(GLOB debs ${WORK}/pack/*.deb)
  if(rc OR NOT debs)
    fail("cpack failed: ${out} ${err}")
  endif()
  list(GET debs 0 deb)
  execute_process(COMMAND dpkg-deb -x ${deb} ${WORK}/unpacked RESULT_VARIABLE rc)
  execute_process(COMMAND dpkg-deb -f ${deb} Version Depends Recommends Section Maintainer Homepage
                  OUTPUT_VARIABLE fields RESULT_VARIABLE rc2)
  if(rc OR rc2)
    fail("dpkg-deb cannot read ${deb}")
  endif()
  foreach(want "qt6-translations-l10n" "libqt6serialport6" "libqt6widgets6" "Section: electronics"
               "Recommends: fonts-noto-cjk | fonts-ipafont-gothic, xdg-utils"
               "Maintainer: veltraw developers <veltraw@users.noreply.github.com>"
               "Homepage: https://github.com/veltraw/veltraw")
    string(FIND "${fields}" "${want}" at)
    if(at EQUAL -1)
      fail("the package's fields lack ${want}:\n${fields}")
    endif()
  endforeach()
  # The changelog's latest entry names the package's version.
  string(REGEX MATCH "Version: ([^\n]+)" _ "${fields}")
  set(version ${CMAKE_MATCH_1})
  run(rc changelog gzip -dc ${WORK}/unpacked/usr/share/doc/veltraw/changelog.Debian.gz)
  if(NOT changelog MATCHES "^veltraw \\(${version}\\) ")
    fail("changelog.Debian.gz does not start with version ${version}")
  endif()
  set(root ${WORK}/unpacked/usr)
else()
  fail("MODE must be install or deb")
endif()

foreach(f ${expected})
  if(NOT EXISTS ${root}/${f})
    fail("missing: ${f}")
  endif()
endforeach()
# The documentation folder links to the manual, which a program finds beside its data.
if(NOT IS_SYMLINK ${root}/share/doc/veltraw/manual)
  fail("share/doc/veltraw/manual is not a link to the manual")
endif()
file(READ_SYMLINK ${root}/share/doc/veltraw/manual link)
if(IS_ABSOLUTE "${link}")
  fail("share/doc/veltraw/manual links to an absolute path: ${link}")
endif()

file(READ ${root}/share/doc/veltraw/copyright copyright)
if(NOT copyright MATCHES "/usr/share/common-licenses/GPL-3" OR NOT copyright MATCHES "GPL-3\\+")
  fail("the copyright file does not refer to /usr/share/common-licenses/GPL-3")
endif()
file(READ ${root}/share/metainfo/io.github.veltraw.veltraw.metainfo.xml metainfo)
if(NOT metainfo MATCHES "<project_license>GPL-3.0-or-later</project_license>")
  fail("the metainfo's project_license is not GPL-3.0-or-later")
endif()

# The installed docs speak of the installed programs, not of a source tree or a build.
set(docs)
foreach(f share/doc/veltraw/examples/README.md share/doc/veltraw/README.Debian)
  file(READ ${root}/${f} text)
  list(APPEND docs "${f}" "${text}")
endforeach()
foreach(page veltraw veltraw-cli veltraw-sim)
  run(rc text gzip -dc ${root}/share/man/man1/${page}.1.gz)
  if(rc)
    fail("${page}.1.gz is not gzip: ${text}")
  endif()
  list(APPEND docs "${page}.1" "${text}")
endforeach()
while(docs)
  list(POP_FRONT docs name text)
  foreach(bad "build/" "program's folder" "scripts/")
    string(FIND "${text}" "${bad}" at)
    if(NOT at EQUAL -1)
      fail("the installed ${name} speaks of \"${bad}\"")
    endif()
  endforeach()
endwhile()

# No program holds a path of the source or build folder, in UTF-8 or in UTF-16. The sanitizers
# write each instrumented file's own path into the program; such builds are never shipped.
if(SANITIZED)
  set(shipped_programs "")
else()
  set(shipped_programs ${programs})
endif()
foreach(p ${shipped_programs})
  file(READ ${root}/${p} bytes HEX)
  foreach(dir "${SOURCE}" "${BUILD}")
    string(HEX "${dir}" utf8)
    string(REGEX REPLACE "(..)" "\\100" utf16 "${utf8}")
    foreach(form ${utf8} ${utf16})
      string(FIND "${bytes}" "${form}" at)
      if(NOT at EQUAL -1)
        fail("${p} holds the path ${dir}")
      endif()
    endforeach()
  endforeach()
endforeach()

# The installed programs answer without a display or a writer.
set(nodisplay ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb)
run(rc out ${nodisplay} ${root}/bin/veltraw --version)
if(rc OR NOT out STREQUAL "veltraw Ver 1.07\n")
  fail("veltraw --version without a display: ${rc} ${out}")
endif()
run(rc out ${nodisplay} ${root}/bin/veltraw --help)
if(rc OR NOT out MATCHES "^使い方: veltraw ")
  fail("veltraw --help without a display: ${rc} ${out}")
endif()
run(rc out ${nodisplay} LANGUAGE=en ${root}/bin/veltraw --help)
if(rc OR NOT out MATCHES "^Usage: veltraw \\[FILE.hex")
  fail("veltraw --help in English: ${rc} ${out}")
endif()
run(rc out ${root}/bin/veltraw-cli --version)
if(rc OR NOT out STREQUAL "veltraw-cli Ver 1.07\n")
  fail("veltraw-cli --version: ${rc} ${out}")
endif()

# An installed program keeps its settings in ~/.config/veltraw, not beside itself: the port
# comes from HOME's settings file, and a file beside the program is not looked at.
set(home ${WORK}/home)
set(ini ${home}/.config/veltraw/veltraw.ini)
file(WRITE ${ini} "[Ports]\nCOM7=${WORK}/home-device\n[Com]\nport= 7\n")
file(WRITE ${root}/bin/veltraw.ini "[Ports]\nCOM7=${WORK}/beside-device\n[Com]\nport= 7\n")
file(READ ${ini} before)
run(rc out ${CMAKE_COMMAND} -E env --unset=VELTRAW_SETTINGS_DIR --unset=XDG_CONFIG_HOME --unset=VELTRAW_PORT
    HOME=${home} ${root}/bin/veltraw-cli --json version)
file(REMOVE ${root}/bin/veltraw.ini)
string(FIND "${out}" "${WORK}/home-device" at)
if(NOT rc EQUAL 69 OR at EQUAL -1)
  fail("the installed veltraw-cli did not take its port from ${ini} (exit ${rc}):\n${out}")
endif()
file(READ ${ini} after)
if(NOT before STREQUAL after)
  fail("veltraw-cli changed ${ini}")
endif()

find_program(DFV desktop-file-validate)
if(DFV)
  run(rc out ${DFV} ${root}/share/applications/io.github.veltraw.veltraw.desktop)
  if(rc)
    fail("desktop-file-validate: ${out}")
  endif()
endif()
find_program(ASC appstreamcli)
if(ASC)
  run(rc out ${ASC} validate-tree --no-net ${root})
  if(rc)
    fail("appstreamcli validate-tree: ${out}")
  endif()
endif()
message(STATUS "${MODE}: every file in place")
