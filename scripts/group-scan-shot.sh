#!/bin/bash
# Takes docs/group-scan-1.png and docs/group-scan-2.png: the real program
# under Xvfb in a session with the Russian alphabet, prediction and the group
# scan on, without a sensor. F9 takes the likeliest letter at the first rest;
# the main window is saved at the first group's rest (level 1), F9 picks that
# group, and the window is saved again at its first member (level 2).
# Usage: scripts/group-scan-shot.sh [OUTPUT-FOLDER] (builds nothing: needs
# build/app/quillora).
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
out="${1:-$root/docs}"
exe="$root/build/app/quillora"
[ -x "$exe" ] || { echo "no $exe: build the target quillora first" >&2; exit 1; }

. scripts/xvfb.sh
start_xvfb 1280x800 || exit 1
xvfb_pid=$XVFB_PID
program_pid=""
look="$(mktemp -d)"
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$look"
}
trap cleanup EXIT

cp "$exe" "$look/quillora"
# The settings file holds cp1251 with CRLF line ends.
python3 - "$look/Quillora.ini" <<'PY'
import sys
letters = [chr(c) for c in range(ord("А"), ord("Я") + 1)]
letters.insert(letters.index("Ж"), "Ё")
symbols = letters + [" ", ".", "<"]
lines = ["[General Options]", "No Sensor Mode=1", "Char Period=2,500", "",
         "[Symbol Table]", "Count=%d" % len(symbols)]
for i, s in enumerate(symbols, 1):
    lines.append('Symbol %d=%s' % (i, '" "' if s == " " else s))
lines += ["", "[Speed]", "Predict Next Letter=1", "Group Scan=1", ""]
open(sys.argv[1], "wb").write("\r\n".join(lines).encode("cp1251"))
PY
"$look/quillora" &
program_pid=$!
xwin=scripts/xwin.py
main_id=$($xwin wait "QUILLORA" 20)
sleep 2
# "СТАРТ" at (504, 126) of the window at its design size.
xdotool mousemove --window "$main_id" 504 126 click 1
# Rests of 2.5 s and moves of 0.2 s: the first rest (the likeliest letter
# alone) from 0, the next one (that letter again, planned anew) from 2.7,
# the first group from 5.4, its first member from 8.1.
sleep 0.8
xdotool key --window "$main_id" F9
sleep 5.7  # 6.5: the first group at rest
import -window "$main_id" "$out/group-scan-1.png"
sleep 0.3
xdotool key --window "$main_id" F9
sleep 2.0  # 8.8: its first member
import -window "$main_id" "$out/group-scan-2.png"
echo "$out/group-scan-1.png $out/group-scan-2.png"
$xwin close "QUILLORA" || true
sleep 1
xdotool key --window "$main_id" Return 2>/dev/null || true  # the question about the unsaved tape
for _ in $(seq 50); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
