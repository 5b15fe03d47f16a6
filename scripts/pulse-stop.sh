#!/bin/sh
# Stops the server and the monitor reader that pulse-start.sh started in the
# folder QUILLORA_PULSE_DIR, and removes that folder. Any other server, the
# desktop's own included, is left alone: without that folder nothing is done.
set -u

dir="${QUILLORA_PULSE_DIR:-}"
if [ -z "$dir" ] || [ ! -f "$dir/quillora-pulse" ]; then
  echo "pulse-stop: no server of pulse-start.sh here (QUILLORA_PULSE_DIR)" >&2
  exit 0
fi

wait_gone() {
  i=0
  while [ "$i" -lt 50 ] && kill -0 "$1" 2>/dev/null; do
    sleep 0.1
    i=$((i + 1))
  done
  ! kill -0 "$1" 2>/dev/null
}

stop() { # pid file, program name
  [ -f "$1" ] || return 0
  pid=$(cat "$1")
  # A pid that now belongs to another program is not ours any more.
  [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = "$2" ] || return 0
  kill "$pid" 2>/dev/null || return 0
  wait_gone "$pid" || { echo "pulse-stop: $2 $pid did not end" >&2; return 1; }
}

status=0
stop "$dir/quillora-monitor-reader.pid" pacat || status=1
stop "$dir/quillora-server.pid" pulseaudio || status=1
[ $status -eq 0 ] && rm -rf "$dir"
exit $status
