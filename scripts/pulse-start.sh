#!/bin/sh
# Starts a PulseAudio server with a virtual input for the capture tests:
# a null sink "v" and, remapped from its monitor, the default source "vin"
# (Qt offers no monitor source as an input device). A low-latency reader of
# the monitor is kept running, or the null sink delivers in blocks of seconds.
#
# Every call starts a fresh server in a fresh private runtime folder; a server
# that the caller's XDG_RUNTIME_DIR or PULSE_SERVER points at (the desktop's
# own) is never used or changed. Prints the environment to use:
#   eval "$(scripts/pulse-start.sh)"  ...  scripts/pulse-stop.sh
# QUILLORA_PULSE_DIR in it names the folder; pulse-stop.sh stops only the
# server recorded there. Exits non-zero when no server can be started.
set -eu

dir=$(mktemp -d "${TMPDIR:-/tmp}/quillora-pulse.XXXXXX")
chmod 700 "$dir"
# Marks the folder as one of ours: pulse-stop.sh removes nothing else.
: >"$dir/quillora-pulse"
XDG_RUNTIME_DIR="$dir"
PULSE_RUNTIME_PATH="$dir/pulse"
PULSE_SERVER="unix:$dir/pulse/native"
export XDG_RUNTIME_DIR PULSE_RUNTIME_PATH PULSE_SERVER

wait_for_server() {
  i=0
  while [ "$i" -lt 100 ]; do
    if pactl info >/dev/null 2>&1; then return 0; fi
    sleep 0.1
    i=$((i + 1))
  done
  return 1
}

tries=0
until pulseaudio --daemonize=yes --system=false --exit-idle-time=-1 --disallow-exit -n \
        --use-pid-file=yes \
        --load=module-native-protocol-unix \
        --load='module-null-sink sink_name=v' \
        --load='module-remap-source master=v.monitor source_name=vin' >/dev/null 2>&1 &&
      wait_for_server; do
  tries=$((tries + 1))
  if [ "$tries" -ge 3 ]; then
    echo "pulse-start: no PulseAudio server could be started in $dir" >&2
    rm -rf "$dir"
    exit 1
  fi
  sleep 1
done
cp "$dir/pulse/pid" "$dir/quillora-server.pid"

pactl list short sources 2>/dev/null | grep -q '^[0-9]*[[:space:]]vin[[:space:]]' || {
  echo "pulse-start: the server has no source 'vin'" >&2
  exit 1
}
pactl set-default-source vin

# The reader that keeps the null sink's monitor at low latency.
nohup pacat -r --latency-msec=10 -d v.monitor >/dev/null 2>&1 &
echo $! >"$dir/quillora-monitor-reader.pid"
sleep 2  # let the stream settle before anyone records

echo "export QUILLORA_PULSE_DIR='$dir'"
echo "export XDG_RUNTIME_DIR='$dir'"
echo "export PULSE_RUNTIME_PATH='$PULSE_RUNTIME_PATH'"
echo "export PULSE_SERVER='$PULSE_SERVER'"
