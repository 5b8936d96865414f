#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package as it is shipped (Release), and checks it the way a Debian maintainer
# would: lintian without errors (each remaining warning accepted below, with why), under 2 MB,
# the programs run from the unpacked package (never installed on this machine): both --version
# without a display, and a write (read back and compared) and a verify against the simulated
# writer. Then builds it again
# from a copy of the sources in another folder and compares the two packages' contents.
# Usage: scripts/check-package.sh   (VELTRAW_PACKAGE_DIR: the build folder, default build-package)
set -euo pipefail
cd "$(dirname "$0")/.."
src=$PWD

# Warnings lintian may give, each with why it is accepted. Any other warning, and any error, fails.
declare -A accepted=(
  [initial-upload-closes-no-bugs]="the package is not uploaded to Debian, so there is no ITP bug to close"
)

VELTRAW_WITH_TEST_TOOLS=1 VELTRAW_SETUP_ONLY=1 bash scripts/setup.sh
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# Builds a Release package from source folder $1 in build folder $2; prints the .deb's path.
build_deb() {
  cmake -S "$1" -B "$2" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF "${launcher[@]}" >/dev/null
  ninja -C "$2" -j2 veltraw veltraw-cli veltraw-sim veltraw_package_files >/dev/null
  rm -f "$2"/*.deb
  (cd "$2" && cpack -G DEB >/dev/null)
  ls "$2"/*.deb
}

scratch=$(mktemp -d)
sim_pid=
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

echo "== Release package"
deb=$(build_deb "$src" "${VELTRAW_PACKAGE_DIR:-build-package}")
size=$(stat -c %s "$deb")
echo "$deb: $size bytes"
[ "$size" -lt $((2 * 1024 * 1024)) ] || { echo "FAIL: the package is 2 MB or more"; exit 1; }

echo "== lintian"
lintian --fail-on none -EvIL +pedantic --tag-display-limit 0 "$deb" >"$scratch/lintian.out" 2>&1 ||
  { cat "$scratch/lintian.out"; echo "FAIL: lintian did not run"; exit 1; }
grep -v '^N:' "$scratch/lintian.out" | tee "$scratch/lintian.txt" || true
status=0
while read -r kind _ tag _; do
  case "$kind" in
    E:) echo "FAIL: lintian error $tag"; status=1 ;;
    W:) if [ -n "${accepted[$tag]:-}" ]; then echo "accepted: $tag: ${accepted[$tag]}"
        else echo "FAIL: lintian warning $tag is not accepted"; status=1; fi ;;
  esac
done < "$scratch/lintian.txt"
[ "$status" = 0 ] || exit 1

echo "== the unpacked programs"
root=$scratch/root
dpkg-deb -x "$deb" "$root"
bin=$root/usr/bin
export HOME=$scratch/home
unset VELTRAW_SETTINGS_DIR XDG_CONFIG_HOME VELTRAW_PORT
mkdir -p "$HOME"
[ "$("$bin/veltraw-cli" --version)" = "veltraw-cli Ver 1.07" ] || { echo "FAIL: veltraw-cli --version"; exit 1; }
v=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$bin/veltraw" --version) ||
  { echo "FAIL: veltraw --version needs a display"; exit 1; }
[ "$v" = "veltraw Ver 1.07" ] || { echo "FAIL: veltraw --version printed: $v"; exit 1; }
"$bin/veltraw-sim" --link "$scratch/writer" >"$scratch/sim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do [ -e "$scratch/writer" ] && break; sleep 0.1; done
[ -e "$scratch/writer" ] || { cat "$scratch/sim.log"; echo "FAIL: veltraw-sim did not start"; exit 1; }
hex=$root/usr/share/doc/veltraw/examples/blink.hex
"$bin/veltraw-cli" -q -p "$scratch/writer" write "$hex" || { echo "FAIL: write against veltraw-sim"; exit 1; }
"$bin/veltraw-cli" -q -p "$scratch/writer" verify "$hex" || { echo "FAIL: verify against veltraw-sim"; exit 1; }
kill -INT "$sim_pid"
wait "$sim_pid" || true
sim_pid=
echo "write and verify of $(basename "$hex") against veltraw-sim: done"

echo "== a second build from another folder"
other=$scratch/elsewhere/veltraw-source
mkdir -p "$other"
git ls-files -z --cached --others --exclude-standard | tar --null -T - -cf - | tar -xf - -C "$other"
# Compiled afresh: a compiler cache that ignores folders could hand back the first build's objects.
deb2=$(CCACHE_DISABLE=1 build_deb "$other" "$scratch/elsewhere/build")
# Contents: every path with its type, mode, owner and link target, each file's checksum, and the
# control fields.
contents() {
  dpkg-deb --fsys-tarfile "$1" | tar -tvf - | awk '{ $4 = $5 = ""; print }'
  dpkg-deb --ctrl-tarfile "$1" | tar -xOf - ./md5sums ./control
}
contents "$deb" >"$scratch/contents-1"
contents "$deb2" >"$scratch/contents-2"
grep -q ' ./usr/bin/veltraw$' "$scratch/contents-1" || { echo "FAIL: cannot list $deb"; exit 1; }
if ! diff "$scratch/contents-1" "$scratch/contents-2"; then
  echo "FAIL: the two builds give different packages"
  exit 1
fi
echo "the builds in $(dirname "$deb") and $scratch/elsewhere/build give the same contents"
echo "package check: passed"
