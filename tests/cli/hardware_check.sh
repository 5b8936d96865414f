#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# scripts/hardware-check.sh against veltraw-sim: refused without --yes-erase, then every step
# green and one report holding each command's output.
#   hardware_check.sh SIM CLI SCRIPT WORKDIR
set -u
sim="$1" cli="$2" script="$3" work="$4"
rm -rf "$work" && mkdir -p "$work" || exit 1
export VELTRAW_SETTINGS_DIR="$work"
unset VELTRAW_PORT

fail() { echo "FAIL: $*" >&2; exit 1; }

"$sim" --link "$work/port" >"$work/sim.log" 2>&1 &
simpid=$!
trap 'kill "$simpid" 2>/dev/null; wait "$simpid" 2>/dev/null' EXIT
for _ in $(seq 100); do [ -e "$work/port" ] && break; sleep 0.1; done
[ -e "$work/port" ] || fail "veltraw-sim did not start"

bash "$script" --cli "$cli" -o "$work/refused.md" "$work/port" 2>"$work/refused.err"
rc=$?
[ "$rc" -eq 64 ] || fail "without --yes-erase: exit $rc, not 64"
[ ! -e "$work/refused.md" ] || fail "a report was written without --yes-erase"
grep -q -- "--yes-erase" "$work/refused.err" || fail "the refusal does not say how to go on"

bash "$script" --yes-erase --cli "$cli" -o "$work/report.md" "$work/port" 2>"$work/check.err"
rc=$?
cat "$work/check.err"
[ "$rc" -eq 0 ] || { cat "$work/report.md" 2>/dev/null; fail "hardware check: exit $rc"; }
report="$work/report.md"
grep -Eq '^- result: ([0-9]+) of \1 steps passed$' "$report" || fail "not every step passed"
for title in "doctor" "erase" "write blink.hex" "verify blink.hex" "write eeprom.hex" "verify eeprom.hex" \
             "EEPROM write a pattern" "EEPROM pattern read back as written" "EEPROM as it was before the check" \
             "read the program memory back"; do
    grep -q "^## [0-9]*\. $title" "$report" || fail "no section \"$title\" in the report"
done
# Each command's own words are in it, with its time.
grep -q "書込みが終了しました\|一致しました\|全消去しました" "$report" || fail "the commands' output is missing"
grep -Eq '— exit 0, [0-9]+\.[0-9]{2} s —' "$report" || fail "no timing in the report"
# The diagnosis ran in full: every one of its checks is in the report.
for check in device permission busy grabbers adapter writer target; do
    grep -Eq "^(ok|warn) +$check " "$report" || fail "doctor's check \"$check\" is not in the report"
done
echo "hardware check against veltraw-sim: ok"
