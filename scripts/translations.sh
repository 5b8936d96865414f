#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The English catalogues in translations/, one per layer.
#   scripts/translations.sh update         lupdate over the tree into the tracked catalogues
#   scripts/translations.sh check [NAME]   lupdate over a scratch copy, then fail on any text
#                                          without a finished translation (veltraw_core, ...)
# LUPDATE and VELTRAW_TRANSLATION_CHECK name the programs (default: Qt's lupdate, the checker
# built in ${VELTRAW_BUILD_DIR:-build}).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
lupdate="${LUPDATE:-/usr/lib/qt6/bin/lupdate}"

# name: the folders it is taken from
declare -A sources=(
  [veltraw_core]="src/core"
  [veltraw_gui]="src/gui src/app"
  [veltraw_cli]="src/cli"
)

# lupdate TREE NAME [OPTIONS...]
run_lupdate() {
  local tree="$1" name="$2"
  shift 2
  # shellcheck disable=SC2086
  (cd "$tree" && "$lupdate" -silent -locations none -I src "$@" -source-language ja -target-language en \
     ${sources[$name]} -ts "translations/${name}_en.ts")
}

case "${1:-}" in
  update)
    for name in "${!sources[@]}"; do run_lupdate "$root" "$name" -no-obsolete; done
    ;;
  check)
    names=("${2:-}")
    [ -z "${names[0]}" ] && names=("${!sources[@]}")
    checker="${VELTRAW_TRANSLATION_CHECK:-$root/${VELTRAW_BUILD_DIR:-build}/tests/veltraw-translation-check}"
    scratch="$(mktemp -d)"
    trap 'rm -rf "$scratch"' EXIT
    cp -r "$root/src" "$root/translations" "$scratch/"
    status=0
    for name in "${names[@]}"; do
      [ -n "${sources[$name]:-}" ] || { echo "no catalogue $name" >&2; exit 2; }
      # Kept obsolete: a Japanese text that changed leaves its old entry behind, marked vanished.
      run_lupdate "$scratch" "$name"
      # shellcheck disable=SC2086
      (cd "$scratch" && "$checker" "translations/${name}_en.ts" ${sources[$name]}) || status=1
    done
    exit $status
    ;;
  *)
    echo "usage: $0 update | check [NAME]" >&2
    exit 2
    ;;
esac
