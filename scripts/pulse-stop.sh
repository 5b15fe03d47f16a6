#!/bin/sh
# Stops the server and the monitor reader that pulse-start.sh started.
set -u

: "${XDG_RUNTIME_DIR:=/tmp/quillora-pulse-$(id -u)}"
export XDG_RUNTIME_DIR

wait_gone() {
  i=0
  while [ "$i" -lt 50 ] && kill -0 "$1" 2>/dev/null; do
    sleep 0.1
    i=$((i + 1))
  done
  ! kill -0 "$1" 2>/dev/null
}

reader_pid_file="$XDG_RUNTIME_DIR/quillora-monitor-reader.pid"
if [ -f "$reader_pid_file" ]; then
  pid=$(cat "$reader_pid_file")
  kill "$pid" 2>/dev/null && wait_gone "$pid"
  rm -f "$reader_pid_file"
fi

server_pid_file="$XDG_RUNTIME_DIR/pulse/pid"
if [ -f "$server_pid_file" ]; then
  pid=$(cat "$server_pid_file")
  if kill "$pid" 2>/dev/null; then
    wait_gone "$pid" || { echo "pulse-stop: server $pid did not end" >&2; exit 1; }
  fi
fi
exit 0
