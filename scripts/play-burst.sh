#!/bin/sh
# Plays a 440 Hz tone burst into the virtual sink "v" of pulse-start.sh.
# Usage: play-burst.sh AMPLITUDE SECONDS [RISE]
#   amplitude 0..1, e.g. 0.5 0.5; RISE: seconds over which the tone fades in
#   from silence (0, the default, starts at full amplitude).
# The tone is made as 16-bit samples: 32-bit files come through at half
# amplitude.
set -eu

amplitude=${1:-0.5}
seconds=${2:-0.5}
rise=${3:-0}
: "${XDG_RUNTIME_DIR:=/tmp/quillora-pulse-$(id -u)}"
export XDG_RUNTIME_DIR

shape=""
if [ "$rise" != "0" ]; then shape="fade t $rise $seconds 0"; fi
# shellcheck disable=SC2086
sox -n -r 44100 -c 1 -b 16 -t wav - synth "$seconds" sine 440 vol "$amplitude" $shape | paplay -d v
