# SPDX-License-Identifier: GPL-3.0-or-later
# Re-assembles every examples/*.asm with gpasm into WORK_DIR and compares the result with the
# checked-in .hex of the same name, byte for byte: the HEX files are what users write, so they
# must never drift from their sources.
#
#   cmake -DGPASM=/usr/bin/gpasm -DSOURCE_DIR=examples -DWORK_DIR=/tmp/assembled \
#         -P examples/check_assembled.cmake

foreach(var GPASM SOURCE_DIR WORK_DIR)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "check_assembled.cmake needs -D${var}=...")
  endif()
endforeach()

file(GLOB sources LIST_DIRECTORIES false "${SOURCE_DIR}/*.asm")
list(SORT sources)
if(NOT sources)
  # Nothing compared must not pass as "all equal".
  message(FATAL_ERROR "no .asm file in ${SOURCE_DIR}")
endif()

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")

set(failures 0)
foreach(source IN LISTS sources)
  get_filename_component(name "${source}" NAME_WE)
  set(expected "${SOURCE_DIR}/${name}.hex")
  set(actual "${WORK_DIR}/${name}.hex")
  # INHX8M named explicitly: gpasm's own default has changed between versions.
  execute_process(
    COMMAND "${GPASM}" -a inhx8m -o "${actual}" "${source}"
    WORKING_DIRECTORY "${WORK_DIR}"
    RESULT_VARIABLE rc
    OUTPUT_VARIABLE out
    ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(SEND_ERROR "${name}.asm: gpasm failed (${rc}):\n${out}")
    math(EXPR failures "${failures} + 1")
    continue()
  endif()
  if(NOT EXISTS "${expected}")
    message(SEND_ERROR "${name}.asm: no checked-in ${name}.hex beside it")
    math(EXPR failures "${failures} + 1")
    continue()
  endif()
  execute_process(
    COMMAND "${CMAKE_COMMAND}" -E compare_files "${expected}" "${actual}"
    RESULT_VARIABLE differ)
  if(differ EQUAL 0)
    message(STATUS "${name}.hex: same as assembled")
    continue()
  endif()
  math(EXPR failures "${failures} + 1")
  # Name the first line that differs, so the fix is obvious.
  file(STRINGS "${expected}" want)
  file(STRINGS "${actual}" got)
  list(LENGTH want nwant)
  list(LENGTH got ngot)
  set(line 0)
  set(detail "the files differ in their line endings or other bytes outside the records")
  while(line LESS nwant OR line LESS ngot)
    set(w "(none)")
    set(g "(none)")
    if(line LESS nwant)
      list(GET want ${line} w)
    endif()
    if(line LESS ngot)
      list(GET got ${line} g)
    endif()
    if(NOT w STREQUAL g)
      math(EXPR shown "${line} + 1")
      set(detail "line ${shown}: checked in ${w}, assembled ${g}")
      break()
    endif()
    math(EXPR line "${line} + 1")
  endwhile()
  message(SEND_ERROR "${name}.hex differs from what ${name}.asm assembles to (${actual}): ${detail}")
endforeach()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} example(s) out of date; rebuild them with: gpasm -a inhx8m -o NAME.hex NAME.asm")
endif()
