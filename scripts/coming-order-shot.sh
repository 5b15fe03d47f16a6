#!/bin/bash
# Takes docs/coming-order.png: the real program under Xvfb in the middle of a
# session with the Russian alphabet, prediction and the coming order on,
# without a sensor. F9 takes the letter at rest a few times, then the main
# window is saved while the drum rests.
# Usage: scripts/coming-order-shot.sh [OUTPUT.png] (builds nothing: needs
# build/app/quillora).
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
out="${1:-$root/docs/coming-order.png}"
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
lines += ["", "[Speed]", "Predict Next Letter=1", "Show Coming Order=1", ""]
open(sys.argv[1], "wb").write("\r\n".join(lines).encode("cp1251"))
PY
"$look/quillora" &
program_pid=$!
xwin=scripts/xwin.py
main_id=$($xwin wait "QUILLORA" 20)
sleep 2
# "СТАРТ" at (504, 126) of the window at its design size.
xdotool mousemove --window "$main_id" 504 126 click 1
sleep 0.5
for _ in 1 2 3 4 5; do
  xdotool key --window "$main_id" F9
  sleep 2.7
done
sleep 0.8  # well inside a rest of 2.5 s after the 0.2 s move
import -window "$main_id" "$out"
echo "$out"
$xwin close "QUILLORA" || true
sleep 1
xdotool key --window "$main_id" Return 2>/dev/null || true  # the question about the unsaved tape
for _ in $(seq 50); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
