#!/bin/bash
# Builds Quillora and starts it. Without a display (a server, a container) it
# starts the program under Xvfb for a short look instead: it saves a
# screenshot of each window, closes the program the normal way (as a window
# manager would) and says where the pictures are.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"

scripts/deps.sh run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target quillora

exe="$root/build/app/quillora"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$exe"
fi

shots="${QUILLORA_SHOTS:-$root/screenshots}"
mkdir -p "$shots"
echo "No display: starting Quillora under Xvfb for a look; screenshots go to $shots"

disp=":$(( 90 + RANDOM % 9 ))"
Xvfb "$disp" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY="$disp"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# The program keeps its settings and recording beside the executable; the
# look uses its own copy so that it starts as on a first run.
look="$(mktemp -d)"
cp "$exe" "$look/quillora"
[ -f "$root/build/app/scale.bmp" ] && cp "$root/build/app/scale.bmp" "$look/"
"$look/quillora" &
program_pid=$!

xwin=scripts/xwin.py
shot() { # title file
  local id
  id=$($xwin wait "$1" 20) || { echo "window \"$1\" did not appear" >&2; return 1; }
  sleep 1
  import -window "$id" "$shots/$2"
  echo "  $shots/$2"
}
click() { # title x y: a click at a point of a window's client area
  local id
  id=$($xwin wait "$1" 20) || return 1
  xdotool mousemove --window "$id" "$2" "$3" click 1
}

shot "QUILLORA" main.png
shot "Настройки" settings.png
# The look starts without a settings file, so the windows have their design
# sizes: "И" sits at (612, 156) of the main window, "Г" at (780, 132) of the panel.
click "QUILLORA" 612 156 || true
shot "Инструментальная панель" display.png || true
click "Инструментальная панель" 780 132 || true
shot "График показаний Е-метра" graph.png || true

$xwin close "QUILLORA"
for _ in $(seq 100); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$program_pid" 2>/dev/null; then
  echo "Quillora did not close within 10 s" >&2
  exit 1
fi
wait "$program_pid" || true
program_pid=""
echo "Closed normally. Settings written at exit: $look/Quillora.ini"
echo "Screenshots: $shots"
