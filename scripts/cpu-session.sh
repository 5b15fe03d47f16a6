#!/bin/bash
# Measures how much CPU the program takes during a session: starts it under
# Xvfb 1920x1080 with a private runtime folder and sound server, opens the
# settings window, the instrument panel and the graph, starts a session at
# 0.1 s per symbol and reads utime + stime of the process from
# /proc/PID/stat over a span of seconds. Prints the share of one core.
#
#   scripts/cpu-session.sh [design|large] [EXECUTABLE] [SECONDS]
#
# design: every window at its design size; large: the main window, the panel
# and the graph each enlarged to 1920x1040. EXECUTABLE defaults to
# build/app/quillora (build it first); SECONDS to 60.
#
#   scripts/cpu-session.sh floor [SECONDS]
#
# floor: build/bench/window/frame_floor under the same Xvfb, the frames and
# timers of such a session with nothing else: the floor to compare with.
#
# QUILLORA_CPU_PROBE: a command run for the measured span instead of a
# sleep, given the process id and the seconds (perf record, strace -c).
# QUILLORA_CPU_STDERR: a file for the program's error output.
# QUILLORA_CPU_SHOTS: a folder for a screenshot taken before measuring.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
mode="${1:-design}"
if [ "$mode" = floor ]; then
  [ -x build/bench/window/frame_floor ] || { echo "build frame_floor first" >&2; exit 1; }
  . scripts/xvfb.sh
  start_xvfb 1920x1080 || exit 1
  trap 'kill "$XVFB_PID" 2>/dev/null || true' EXIT
  build/bench/window/frame_floor "${2:-60}" 2>/dev/null
  exit
fi
exe="$(realpath "${2:-build/app/quillora}")"
seconds="${3:-60}"
case "$mode" in design|large) ;; *) echo "mode: design, large or floor" >&2; exit 2 ;; esac
[ -x "$exe" ] || { echo "no executable $exe" >&2; exit 1; }

XDG_RUNTIME_DIR="$(mktemp -d /tmp/quillora-cpu.XXXXXX)"
export XDG_RUNTIME_DIR
work="$XDG_RUNTIME_DIR/program"
mkdir -p "$work"
xvfb_pid=""
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  scripts/pulse-stop.sh >/dev/null 2>&1 || true
  rm -rf "$XDG_RUNTIME_DIR"
}
trap cleanup EXIT
eval "$(scripts/pulse-start.sh)"

. scripts/xvfb.sh
start_xvfb 1920x1080 || exit 1
xvfb_pid=$XVFB_PID

# The program keeps its settings beside the executable: a copy with a
# settings file that sets the symbol period.
cp "$exe" "$work/quillora"
printf '[General Options]\r\nChar Period=0.100\r\n' >"$work/Quillora.ini"
"$work/quillora" >/dev/null 2>"${QUILLORA_CPU_STDERR:-/dev/null}" &
program_pid=$!

xwin=scripts/xwin.py
click() { # title x y: a click at a point of a window's client area
  local id
  id=$($xwin wait "$1" 20) || { echo "window \"$1\" did not appear" >&2; exit 1; }
  xdotool mousemove --window "$id" "$2" "$3" click 1
}
$xwin wait "Настройки" 20 >/dev/null
click "QUILLORA" 612 156                  # "И": the instrument panel
click "Инструментальная панель" 780 132   # "Г": the graph
$xwin wait "График показаний Е-метра" 20 >/dev/null
sleep 1
xdotool windowraise "$($xwin wait "QUILLORA" 5)"
sleep 0.5
click "QUILLORA" 504 126                  # "СТАРТ"
if [ "$mode" = large ]; then
  for title in "QUILLORA" "Инструментальная панель" "График показаний Е-метра"; do
    id=$($xwin wait "$title" 5)
    xdotool windowsize "$id" 1920 1040
  done
fi
sleep 3
if [ -n "${QUILLORA_CPU_SHOTS:-}" ]; then
  mkdir -p "$QUILLORA_CPU_SHOTS"
  import -window root "$QUILLORA_CPU_SHOTS/$mode.png"
fi

ticks() { awk '{print $14 + $15}' "/proc/$program_pid/stat"; }
hz=$(getconf CLK_TCK)
t0=$(ticks)
if [ -n "${QUILLORA_CPU_PROBE:-}" ]; then
  # A command that watches the measured span in place of the sleep, given
  # the process id and the seconds: perf, strace.
  $QUILLORA_CPU_PROBE "$program_pid" "$seconds"
else
  sleep "$seconds"
fi
t1=$(ticks)
kill -0 "$program_pid" 2>/dev/null || { echo "the program ended during the measurement" >&2; exit 1; }
awk -v d=$((t1 - t0)) -v hz="$hz" -v s="$seconds" -v m="$mode" \
  'BEGIN { printf "%s: %.1f %% of one core over %d s\n", m, 100.0 * d / hz / s, s }'

click "QUILLORA" 504 166 || true           # "СТОП" (may be covered when enlarged)
$xwin close "QUILLORA" || true
for _ in $(seq 100); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
