#!/bin/bash
# Builds Quillora and starts it. Without a display (a server, a container) it
# starts the program under Xvfb for a short look instead: it saves a
# screenshot of each window, closes the program the normal way (as a window
# manager would) and says where the pictures are.
#
# The look records from the sound input. When no sound server answers it
# starts a private one (scripts/pulse-start.sh: a virtual input that gives
# silence and the look's tone burst) and stops it at the end; when none can
# be started either (or QUILLORA_NO_SENSOR=1), the look runs in no-sensor
# mode ("Без датчика"). Either way "СТАРТ" writes no sensor error to the tape
# and the program closes without asking.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"

# QUILLORA_SKIP_DEPS=1 installs no packages.
[ "${QUILLORA_SKIP_DEPS:-0}" = 1 ] || scripts/deps.sh run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target quillora

exe="$root/build/app/quillora"

sound_server_answers() { command -v pactl >/dev/null && pactl info >/dev/null 2>&1; }

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  if ! sound_server_answers; then
    echo "No sound server answers: \"СТАРТ\" will report the sensor error." >&2
    echo "To try the program without a sensor, tick \"Без датчика\" in the settings window." >&2
  fi
  exec "$exe"
fi

shots="${QUILLORA_SHOTS:-$root/screenshots}"
mkdir -p "$shots"
echo "No display: starting Quillora under Xvfb for a look; screenshots go to $shots"

. scripts/xvfb.sh
start_xvfb 1600x1000 || exit 1
xvfb_pid=$XVFB_PID
program_pid=""
pulse_started=0
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  [ "$pulse_started" = 1 ] && scripts/pulse-stop.sh || true
}
trap cleanup EXIT

# The program keeps its settings and recording beside the executable; the
# look uses its own copy so that it starts as on a first run.
look="$(mktemp -d)"
cp "$exe" "$look/quillora"
[ -f "$root/build/app/scale.bmp" ] && cp "$root/build/app/scale.bmp" "$look/"

no_sensor="${QUILLORA_NO_SENSOR:-0}"
if [ "$no_sensor" != 1 ] && ! sound_server_answers; then
  if command -v pulseaudio >/dev/null && pulse_env=$(scripts/pulse-start.sh); then
    eval "$pulse_env"
    pulse_started=1
    echo "No sound server answered: the look records from a private one (silence)"
  else
    no_sensor=1
  fi
fi
if [ "$no_sensor" = 1 ]; then
  echo "The look runs without a sensor (\"Без датчика\", No Sensor Mode=1)"
  printf '[General Options]\r\nNo Sensor Mode=1\r\n' >"$look/Quillora.ini"
fi
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

# A short session, so that the panel and the graph show something. The
# windows have their design sizes (the look starts without a settings file):
# "СТАРТ" sits at (504, 126) and "И" at (612, 156) of the main window, "Фикс"
# at (656, 396) and "Г" at (780, 132) of the panel, the plot at (8..633,
# 64..273) of the graph window. Where a sound server with the virtual input
# of scripts/pulse-start.sh answers, a tone burst of amplitude 0.2 swings the
# needle to +20 % (the level held at 0 by "Фикс"), below the on level, so
# nothing is written to the tape.
click "QUILLORA" 504 126 || true
click "QUILLORA" 612 156 || true
click "Инструментальная панель" 656 396 || true
burst_pid=""
if [ -n "${QUILLORA_PULSE_DIR:-}" ] && pactl info >/dev/null 2>&1 &&
   pactl list short sinks 2>/dev/null | grep -q '[[:space:]]v[[:space:]]'; then
  scripts/play-burst.sh 0.2 5 >/dev/null 2>&1 &
  burst_pid=$!
  sleep 1.5
fi
shot "Инструментальная панель" display.png || true
click "Инструментальная панель" 780 132 || true
sleep 5
click "График показаний Е-метра" 22 150 || true
graph_id=$($xwin wait "График показаний Е-метра" 5) &&
  xdotool mousemove --window "$graph_id" 120 150 click 3 || true
shot "График показаний Е-метра" graph.png || true
[ -n "$burst_pid" ] && wait "$burst_pid" 2>/dev/null || true
main_id=$($xwin wait "QUILLORA" 5) && xdotool windowraise "$main_id" || true
sleep 0.5
click "QUILLORA" 504 166 || true   # "СТОП"

# A close request that arrives while the window is still busy on a loaded
# machine may be lost without a window manager: asked once more after 10 s.
$xwin close "QUILLORA"
for _ in $(seq 100); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$program_pid" 2>/dev/null && $xwin close "QUILLORA" || true
for _ in $(seq 200); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$program_pid" 2>/dev/null; then
  echo "Quillora did not close after two requests within 30 s; its windows:" >&2
  $xwin list >&2 || true
  exit 1
fi
wait "$program_pid" || true
program_pid=""
echo "Closed normally. Settings written at exit: $look/Quillora.ini"
echo "Screenshots: $shots"
