#!/bin/sh
# Starts a PulseAudio server with a virtual input for the capture tests:
# a null sink "v" and, remapped from its monitor, the default source "vin"
# (Qt offers no monitor source as an input device). A low-latency reader of
# the monitor is kept running, or the null sink delivers in blocks of seconds.
#
# Idempotent: a server that already answers is reused. Prints the environment
# to use (eval "$(scripts/pulse-start.sh)"). Exits non-zero when no server can
# be started.
set -eu

: "${XDG_RUNTIME_DIR:=/tmp/quillora-pulse-$(id -u)}"
export XDG_RUNTIME_DIR
mkdir -p "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"
export PULSE_SERVER

say_env() {
  echo "export XDG_RUNTIME_DIR='$XDG_RUNTIME_DIR'"
  echo "export PULSE_SERVER='$PULSE_SERVER'"
}

wait_for_server() {
  i=0
  while [ "$i" -lt 100 ]; do
    if pactl info >/dev/null 2>&1; then return 0; fi
    sleep 0.1
    i=$((i + 1))
  done
  return 1
}

start_server() {
  # A server killed hard leaves its pid file and socket behind; a new one
  # refuses to start over a pid file whose process still seems alive.
  pidfile="$XDG_RUNTIME_DIR/pulse/pid"
  if [ -f "$pidfile" ] && ! kill -0 "$(cat "$pidfile" 2>/dev/null)" 2>/dev/null; then
    rm -f "$pidfile" "$XDG_RUNTIME_DIR/pulse/native"
  fi
  pulseaudio --daemonize=yes --system=false --exit-idle-time=-1 --disallow-exit -n \
    --use-pid-file=yes \
    --load=module-native-protocol-unix \
    --load='module-null-sink sink_name=v' \
    --load='module-remap-source master=v.monitor source_name=vin' >/dev/null 2>&1 || true
  wait_for_server
}

if ! pactl info >/dev/null 2>&1; then
  tries=0
  until start_server; do
    tries=$((tries + 1))
    if [ "$tries" -ge 3 ]; then
      echo "pulse-start: no PulseAudio server answers in $XDG_RUNTIME_DIR" >&2
      exit 1
    fi
    sleep 1
  done
fi

# A server found running may lack the virtual devices: add them.
pactl list short sinks 2>/dev/null | grep -q '^[0-9]*[[:space:]]v[[:space:]]' ||
  pactl load-module module-null-sink sink_name=v >/dev/null
pactl list short sources 2>/dev/null | grep -q '^[0-9]*[[:space:]]vin[[:space:]]' ||
  pactl load-module module-remap-source master=v.monitor source_name=vin >/dev/null
pactl list short sources 2>/dev/null | grep -q '^[0-9]*[[:space:]]vin[[:space:]]' || {
  echo "pulse-start: the server has no source 'vin'" >&2
  exit 1
}
pactl set-default-source vin

# The reader that keeps the null sink's monitor at low latency; one only.
reader_pid_file="$XDG_RUNTIME_DIR/quillora-monitor-reader.pid"
if ! { [ -f "$reader_pid_file" ] && kill -0 "$(cat "$reader_pid_file")" 2>/dev/null; }; then
  nohup pacat -r --latency-msec=10 -d v.monitor >/dev/null 2>&1 &
  echo $! >"$reader_pid_file"
  sleep 2  # let the stream settle before anyone records
fi

say_env
