#!/bin/bash
# Takes the drum pictures of the guides from the real program under Xvfb,
# each in a session with the Russian alphabet and prediction on, without a
# sensor (F9 takes the symbol at rest):
#   coming-order.png  the coming order shown, after five letters taken;
#   group-scan-1.png  the group scan at its first group (level 1);
#   group-scan-2.png  the same group picked, at its first member (level 2).
# Usage: scripts/drum-shots.sh [OUTPUT-FOLDER] (default docs/; builds
# nothing: needs build/app/quillora).
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
out="${1:-$root/docs}"
exe="$root/build/app/quillora"
[ -x "$exe" ] || { echo "no $exe: build the target quillora first" >&2; exit 1; }

. scripts/xvfb.sh
xvfb_pid=""
program_pid=""
look="$(mktemp -d)"
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$look"
}
trap cleanup EXIT
xwin=scripts/xwin.py

# Starts the program in a folder and on a display of its own (an X server
# resets when its last client has gone), with rests of 2.5 s and the given
# [Speed] key, and a session in it; sets main_id.
start_session() {
  start_xvfb 1280x800 || exit 1
  xvfb_pid=$XVFB_PID
  local folder="$look/${1// /-}"
  mkdir -p "$folder"
  cp "$exe" "$folder/quillora"
  # The settings file holds cp1251 with CRLF line ends.
  python3 - "$folder/Quillora.ini" "$1" <<'PY'
import sys
letters = [chr(c) for c in range(ord("А"), ord("Я") + 1)]
letters.insert(letters.index("Ж"), "Ё")
symbols = letters + [" ", ".", "<"]
lines = ["[General Options]", "No Sensor Mode=1", "Char Period=2,500", "",
         "[Symbol Table]", "Count=%d" % len(symbols)]
for i, s in enumerate(symbols, 1):
    lines.append('Symbol %d=%s' % (i, '" "' if s == " " else s))
lines += ["", "[Speed]", "Predict Next Letter=1", sys.argv[2] + "=1", ""]
open(sys.argv[1], "wb").write("\r\n".join(lines).encode("cp1251"))
PY
  "$folder/quillora" &
  program_pid=$!
  main_id=$($xwin wait "QUILLORA" 20)
  sleep 2
  # "СТАРТ" at (504, 126) of the window at its design size.
  xdotool mousemove --window "$main_id" 504 126 click 1
  sleep 0.5
}

close_program() {
  $xwin close "QUILLORA" || true
  sleep 1
  xdotool key --window "$main_id" Return 2>/dev/null || true  # the question about the unsaved tape
  for _ in $(seq 50); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
  program_pid=""
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
}

# Rests of 2.5 s and moves of 0.2 s: a rest begins every 2.7 s.
start_session "Show Coming Order"
for _ in 1 2 3 4 5; do
  xdotool key --window "$main_id" F9
  sleep 2.7
done
sleep 0.8  # well inside a rest
import -window "$main_id" "$out/coming-order.png"
close_program

# The first rest (the likeliest letter alone) from 0, the next one (that
# letter again, planned anew) from 2.7, the first group from 5.4, its first
# member from 8.1.
start_session "Group Scan"
sleep 0.8
xdotool key --window "$main_id" F9
sleep 5.7  # 6.5: the first group at rest
import -window "$main_id" "$out/group-scan-1.png"
sleep 0.3
xdotool key --window "$main_id" F9
sleep 2.0  # 8.8: its first member
import -window "$main_id" "$out/group-scan-2.png"
close_program
echo "$out/coming-order.png $out/group-scan-1.png $out/group-scan-2.png"
