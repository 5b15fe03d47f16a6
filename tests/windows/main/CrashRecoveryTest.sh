#!/bin/bash
# The real program under Xvfb is killed with SIGKILL after selections made
# with F9 during a session; the next start must bring the tape back exactly.
# A FIFO in place of the copy must not hold up the next start.
# Usage: CrashRecoveryTest.sh PROGRAM XWIN_HELPER
set -euo pipefail
exe="$1"
xwin="$2"

work="$(mktemp -d)"
XVFB_PID=""
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill -9 "$program_pid" 2>/dev/null || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

. "$(dirname "$0")/../../../scripts/xvfb.sh"
start_xvfb 1600x1000 || fail "Xvfb did not start"
export QT_QPA_PLATFORM=xcb
unset QT_QPA_PLATFORM_PLUGIN_PATH

# The program keeps its files beside the executable: a private copy.
cp "$exe" "$work/quillora"
recovery="$work/tape.recovery"

start_program() {
  "$work/quillora" >/dev/null 2>&1 &
  program_pid=$!
  main_id="$("$xwin" wait QUILLORA 20)" || fail "the main window did not appear"
  sleep 1
}

start_program
# "СТАРТ" at (504, 126) of the main window at its design size; the time per
# symbol is 1 s. F9 goes to whichever window has the focus.
xdotool mousemove --window "$main_id" 504 126 click 1
sleep 0.5
for _ in 1 2 3; do
  xdotool windowfocus --sync "$main_id" key F9
  sleep 1.3
done
sleep 0.5
[ -s "$recovery" ] || fail "no recovery file after the selections"
held="$(cat "$recovery")"
case "$held" in
  "- "?*) ;;
  *) fail "unexpected tape copy: '$held'" ;;
esac
kill -9 "$program_pid"
wait "$program_pid" 2>/dev/null || true
program_pid=""
[ "$(cat "$recovery")" = "$held" ] || fail "the copy changed when the program was killed"

# Next start: the tape is back. A character typed at its end shows that the
# tape holds exactly the old text, since the copy is written from the tape.
start_program
[ "$(cat "$recovery")" = "$held" ] || fail "the copy changed at the start"
xdotool mousemove --window "$main_id" 100 480 click 1
xdotool windowfocus --sync "$main_id" key ctrl+End type Z
sleep 0.7
got="$(cat "$recovery")"
[ "$got" = "${held}Z" ] || fail "restored tape differs: '$got', expected '${held}Z'"
echo "tape restored after SIGKILL: '$held'"

# A FIFO in place of the copy: the window still comes, and the FIFO is set
# aside as it is.
kill -9 "$program_pid"
wait "$program_pid" 2>/dev/null || true
program_pid=""
rm -f "$recovery"
mkfifo "$recovery"
start_program
[ -p "$recovery.kept" ] || fail "the FIFO was not set aside"
echo "a FIFO in place of the copy did not hold up the start"
