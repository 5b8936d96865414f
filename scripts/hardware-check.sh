#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks a real writer end to end with veltraw-cli and writes one Markdown report (every
# command, its output, exit status and time) to attach to a bug report. It erases the PIC.
#
#   scripts/hardware-check.sh [--yes-erase] [-o REPORT.md] [--cli PATH] PORT
set -uo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
examples="$here/../examples"
cli=""
report=""
yes=0
port=""

usage() {
    cat >&2 <<EOF
usage: $0 --yes-erase [-o REPORT.md] [--cli PATH] PORT

Runs doctor, erases the PIC, writes and verifies both examples, writes a pattern into the data
EEPROM and puts the old contents back, reads the program memory back, and writes a Markdown
report with every command's output and timing (by default hardware-check-DATE.md here).
It ERASES the PIC on the writer at PORT: --yes-erase says you mean it.
EOF
    exit 64
}

while [ $# -gt 0 ]; do
    case "$1" in
        --yes-erase) yes=1 ;;
        -o) [ $# -ge 2 ] || usage; report="$2"; shift ;;
        --cli) [ $# -ge 2 ] || usage; cli="$2"; shift ;;
        -h|--help) usage ;;
        -*) echo "$0: unknown option $1" >&2; usage ;;
        *) [ -z "$port" ] || usage; port="$1" ;;
    esac
    shift
done
[ -n "$port" ] || usage
if [ "$yes" -ne 1 ]; then
    echo "$0: this erases the PIC on $port; run it again with --yes-erase if that is what you want" >&2
    exit 64
fi
if [ -z "$cli" ]; then
    if [ -x "$here/../build/src/veltraw-cli" ]; then cli="$here/../build/src/veltraw-cli"
    else cli="$(command -v veltraw-cli || true)"; fi
fi
[ -n "$cli" ] && [ -x "$cli" ] || { echo "$0: veltraw-cli not found (build it, or give --cli PATH)" >&2; exit 69; }
for f in blink.hex eeprom.hex; do
    [ -r "$examples/$f" ] || { echo "$0: $examples/$f is missing" >&2; exit 66; }
done
[ -n "$report" ] || report="hardware-check-$(date +%Y%m%d-%H%M%S).md"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
steps=0

# The report is built beside its final place and put there at the end.
body="$work/body.md"
: >"$body"

# Writes the report (beside its place first, so no half-written one is left) and ends.
finish() {
    {
        echo "# veltraw hardware check"
        echo
        echo "- date: $(date -u '+%Y-%m-%d %H:%M:%S UTC')"
        echo "- port: $port"
        echo "- program: $("$cli" --version 2>&1 | head -1)"
        echo "- system: $(uname -srm)"
        echo "- result: $((steps - failures)) of $steps steps passed${1:+ ($1)}"
        echo
        cat "$body"
    } >"$report.part" && mv -f "$report.part" "$report" || { rm -f "$report.part"; echo "$0: cannot write $report" >&2; exit 73; }
    echo "report: $report ($((steps - failures)) of $steps steps passed)" >&2
}

# step TITLE EXPECTED-EXITS ARGS... : runs veltraw-cli with ARGS on the port and records it.
step() {
    local title="$1" expected="$2"
    shift 2
    local start end rc secs verdict
    start=$(date +%s.%N)
    "$cli" -p "$port" --progress none "$@" >"$work/out" 2>"$work/err"
    rc=$?
    end=$(date +%s.%N)
    secs=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", b - a }')
    steps=$((steps + 1))
    case " $expected " in
        *" $rc "*) verdict="ok" ;;
        *) verdict="FAILED (expected exit $expected)"; failures=$((failures + 1)) ;;
    esac
    echo "$title: exit $rc, ${secs} s, $verdict" >&2
    {
        echo "## $steps. $title"
        echo
        echo "\`veltraw-cli -p $port --progress none $*\` — exit $rc, ${secs} s — **$verdict**"
        echo
        echo '```'
        cat "$work/err"
        if [ -s "$work/out" ]; then echo "--- standard output ---"; cat "$work/out"; fi
        echo '```'
        echo
    } >>"$body"
    LAST_RC=$rc
    # Ctrl+C stops the command, and the check with it.
    if [ "$rc" -eq 130 ]; then finish "interrupted"; exit 130; fi
}

# compare TITLE A B: two data files that must be the same.
compare() {
    steps=$((steps + 1))
    local verdict="ok"
    if ! cmp -s "$1" "$2"; then verdict="FAILED"; failures=$((failures + 1)); fi
    echo "$3: $verdict" >&2
    {
        echo "## $steps. $3"
        echo
        echo "**$verdict**"
        echo
        if [ "$verdict" != ok ]; then echo '```'; diff "$1" "$2"; echo '```'; echo; fi
    } >>"$body"
}

# Doctor comes first: its findings explain whatever fails after it (warnings alone exit 0).
step "doctor" 0 doctor
step "version" 0 version
step "erase" 0 erase
step "blank check" 0 blank-check
step "write blink.hex (with read-back)" 0 write "$examples/blink.hex"
step "verify blink.hex" 0 verify "$examples/blink.hex"
step "erase" 0 erase
step "write eeprom.hex with its EEPROM data (with read-back)" 0 write "$examples/eeprom.hex" --eeprom
step "verify eeprom.hex with its EEPROM data" 0 verify "$examples/eeprom.hex" --eeprom
step "configuration word" 0 config

# The data EEPROM: kept, overwritten with a pattern, checked, and put back as it was.
step "EEPROM read (kept to put back)" 0 eeprom read -o "$work/eeprom-before.txt"
if [ "$LAST_RC" -eq 0 ] && [ -s "$work/eeprom-before.txt" ]; then
    for a in $(seq 0 63); do echo "$a,$(( (a * 37 + 0x55) & 0xFF ))"; done >"$work/pattern.txt"
    step "EEPROM write a pattern" 0 eeprom write "$work/pattern.txt"
    step "EEPROM read the pattern back" 0 eeprom read -o "$work/eeprom-pattern.txt"
    compare "$work/pattern.txt" "$work/eeprom-pattern.txt" "EEPROM pattern read back as written"
    step "EEPROM put back" 0 eeprom write "$work/eeprom-before.txt"
    step "EEPROM read after putting back" 0 eeprom read -o "$work/eeprom-after.txt"
    compare "$work/eeprom-before.txt" "$work/eeprom-after.txt" "EEPROM as it was before the check"
else
    # What could not be kept is not overwritten.
    printf 'The data EEPROM could not be read: its round trip is left out and the EEPROM as it was.\n\n' >>"$body"
fi

step "read the program memory back" 0 read -o "$work/readback.hex"
if [ -s "$work/readback.hex" ]; then
    { echo '### the HEX file read back'; echo; echo '```'; cat "$work/readback.hex"; echo '```'; echo; } >>"$body"
fi

finish
[ "$failures" -eq 0 ]
