#!/bin/bash
# The test scripts' sound server leaves the user's own alone: with a running
# server of "the user" in its own runtime folder exported, as on a desktop,
# pulse-start.sh and pulse-stop.sh (the README's recipe and the test
# command's start and stop) start and stop a fresh server of their own; the
# user's still answers afterwards, with its own default source.
# Usage: pulse-scripts-test.sh SCRIPTS_DIR
set -u
scripts="$1"
fail() { echo "FAIL: $*" >&2; exit 1; }

user_dir=$(mktemp -d /tmp/quillora-user-xdg.XXXXXX)
chmod 700 "$user_dir"
user_pid=""
cleanup() {
  [ -n "${ours_dir:-}" ] && QUILLORA_PULSE_DIR="$ours_dir" bash "$scripts/pulse-stop.sh" 2>/dev/null
  [ -n "$user_pid" ] && kill "$user_pid" 2>/dev/null
  rm -rf "$user_dir"
}
trap cleanup EXIT

# The user's server, with a source of the user's as its default.
unset QUILLORA_PULSE_DIR PULSE_RUNTIME_PATH
export XDG_RUNTIME_DIR="$user_dir" PULSE_SERVER="unix:$user_dir/pulse/native"
pulseaudio --daemonize=yes --system=false --exit-idle-time=-1 -n --use-pid-file=yes \
  --load=module-native-protocol-unix --load='module-null-sink sink_name=user_out' \
  --load='module-remap-source master=user_out.monitor source_name=user_mic' >/dev/null 2>&1 ||
  fail "the user's server did not start"
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
user_pid=$(cat "$user_dir/pulse/pid") || fail "no pid file of the user's server"
pactl set-default-source user_mic || fail "the user's server does not answer"

check_user_server() {
  kill -0 "$user_pid" 2>/dev/null || fail "$1: the user's server was stopped"
  [ "$(XDG_RUNTIME_DIR="$user_dir" PULSE_SERVER="unix:$user_dir/pulse/native" \
       pactl get-default-source 2>/dev/null)" = user_mic ] ||
    fail "$1: the user's server does not answer with its default source user_mic"
}

ours=()
for round in 1 2; do
  env_text="$(bash "$scripts/pulse-start.sh")" || fail "round $round: pulse-start failed"
  ours_dir=$(sed -n "s/^export QUILLORA_PULSE_DIR='\(.*\)'$/\1/p" <<<"$env_text")
  (
    eval "$env_text"
    [ "$PULSE_SERVER" != "unix:$user_dir/pulse/native" ] || fail "round $round: reused the user's server"
    [ "$(pactl get-default-source)" = vin ] || fail "round $round: own server has no default vin"
    check_user_server "round $round, running"
    cat "$QUILLORA_PULSE_DIR/quillora-server.pid" >"$user_dir/ours-$round"
    bash "$scripts/pulse-stop.sh" || fail "round $round: pulse-stop failed"
    [ ! -e "$QUILLORA_PULSE_DIR" ] || fail "round $round: the private folder is left behind"
  ) || exit 1
  ours+=("$(cat "$user_dir/ours-$round")")
  check_user_server "round $round, after stop"
done
[ "${ours[0]}" != "${ours[1]}" ] || fail "the second start reused the first server"
for pid in "${ours[@]}"; do
  ! kill -0 "$pid" 2>/dev/null || fail "our server $pid still runs"
done

# A stop without a server of ours stops nothing, whatever XDG_RUNTIME_DIR says.
bash "$scripts/pulse-stop.sh" 2>/dev/null
check_user_server "a stop with nothing started"
echo "the user's server $user_pid survived two starts and stops"
