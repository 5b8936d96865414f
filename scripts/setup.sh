#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building veltraw needs on Debian 12 (when missing) and builds it into build/.
# Usage: scripts/setup.sh [extra cmake options...]
# VELTRAW_TARGETS: build only these targets (default: everything);
# VELTRAW_WITH_TEST_TOOLS=1: also the PIC toolchain and the validators the tests use;
# VELTRAW_SETUP_ONLY=1: install what is missing, build nothing.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ qt6-base-dev qt6-serialport-dev qt6-translations-l10n qt6-tools-dev qt6-l10n-tools)
[ "${VELTRAW_WITH_FONTS:-0}" = 1 ] && packages+=(fonts-ipafont-gothic)
[ "${VELTRAW_WITH_TEST_TOOLS:-0}" = 1 ] && packages+=(gputils gpsim desktop-file-utils appstream dpkg-dev lintian)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi

[ "${VELTRAW_SETUP_ONLY:-0}" = 1 ] && exit 0

build="${VELTRAW_BUILD_DIR:-build}"
cmake -S . -B "$build" -G Ninja "$@" >/dev/null
# shellcheck disable=SC2086
ninja -C "$build" -j2 ${VELTRAW_TARGETS:-}
