#!/bin/sh
# Plays a 440 Hz tone burst into the virtual sink "v" of pulse-start.sh.
# Usage: play-burst.sh AMPLITUDE SECONDS [FADE_IN]   (amplitude 0..1, e.g. 0.5 0.5;
# FADE_IN: seconds of a linear rise at the start, part of SECONDS)
# The tone is made as 16-bit samples: 32-bit files come through at half
# amplitude.
set -eu

amplitude=${1:-0.5}
seconds=${2:-0.5}
fade=${3:-0}
: "${XDG_RUNTIME_DIR:=/tmp/quillora-pulse-$(id -u)}"
export XDG_RUNTIME_DIR

if [ "$fade" = 0 ]; then
  sox -n -r 44100 -c 1 -b 16 -t wav - synth "$seconds" sine 440 vol "$amplitude" | paplay -d v
else
  sox -n -r 44100 -c 1 -b 16 -t wav - synth "$seconds" sine 440 vol "$amplitude" fade t "$fade" "$seconds" 0 | paplay -d v
fi
