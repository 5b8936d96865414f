#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds veltraw and starts it. Without an argument COM1 is wired to the simulated writer
# (veltraw-sim); with a device path (e.g. /dev/ttyUSB0) COM1 is wired to that device instead.
set -euo pipefail
cd "$(dirname "$0")/.."
# Only what it starts: the tests and benchmarks are built by the test command.
VELTRAW_WITH_FONTS=1 VELTRAW_TARGETS="veltraw veltraw-sim" bash scripts/setup.sh

device="${1:-}"
ini="build/src/veltraw.ini"   # the settings file lives in the program's folder

# Sets key=value in a section of the settings file, keeping every other line.
set_ini() {
  local file=$1 section=$2 key=$3 value=$4
  touch "$file"
  awk -v s="$section" -v k="$key" -v v="$value" '
    function flush() { if (insec && !done) { print k "=" v; done = 1 } }
    /^[ \t]*\[/ { flush(); name = $0; gsub(/^[ \t]*\[|\].*$/, "", name); insec = (tolower(name) == tolower(s)); print; next }
    insec && !done { line = $0; sub(/[ \t]*=.*/, "", line); gsub(/^[ \t]+/, "", line)
                     if (tolower(line) == tolower(k)) { print k "=" v; done = 1; next } }
    { print }
    END { if (!done) { if (!insec) print "[" s "]"; print k "=" v } }' "$file" > "$file.tmp"
  mv "$file.tmp" "$file"
}

sim_pid=""
if [ -z "$device" ]; then
  device="${TMPDIR:-/tmp}/veltraw-sim-$(id -u)"
  build/sim/veltraw-sim --link "$device" > /dev/null &
  sim_pid=$!
  trap 'kill "$sim_pid" 2>/dev/null || true' EXIT
  for _ in $(seq 50); do [ -e "$device" ] && break; sleep 0.1; done
  echo "simulated writer on $device"
fi
set_ini "$ini" Ports COM1 "$device"
set_ini "$ini" Com port " 1"

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: run this from a desktop session (or under xvfb-run)." >&2
  exit 1
fi
build/src/veltraw
