#!/bin/bash
# The switch-trial table: every sensor (clean, hum, hum + drift, noise only)
# × setting (the design defaults, the calibration assistant's proposal) ×
# time per symbol (1 s, 0.5 s), LETTERS letters per cell (default 25), each
# cell by build/bench/switch/bench_switch on a PulseAudio server of its own
# (scripts/pulse-start.sh), JOBS cells at a time (default 4). Prints a
# Markdown table; each cell's log (text, tape, landings) goes to
# $OUT/<cell>.log (default a fresh folder under /tmp).
#   scripts/switch-trials.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
tool="$build/bench/switch/bench_switch"
[ -x "$tool" ] || { echo "switch-trials: no $tool (cmake --build $build --target bench_switch)" >&2; exit 1; }
letters="${LETTERS:-25}"
jobs="${JOBS:-4}"
out="${OUT:-$(mktemp -d /tmp/switch-trials.XXXXXX)}"
mkdir -p "$out"

cell() {  # sensor setting period
  local name="$1-$2-$3"
  (
    env="$(scripts/pulse-start.sh)" || { echo "| $1 | $2 | $3 | no sound server |" >"$out/$name.row"; exit 0; }
    eval "$env"
    trap 'scripts/pulse-stop.sh >/dev/null 2>&1 || true' EXIT
    "$tool" --sensor "$1" --setting "$2" --period "$3" --letters "$letters" \
      >"$out/$name.row" 2>"$out/$name.log" || echo "| $1 | $2 | $3 | failed: see $out/$name.log |" >"$out/$name.row"
  )
}

cells=()
for period in 1 0.5; do
  for sensor in clean hum drift noise; do
    for setting in defaults proposal; do cells+=("$sensor $setting $period"); done
  done
done

running=0
for c in "${cells[@]}"; do
  # shellcheck disable=SC2086
  cell $c &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n
    running=$((running - 1))
  fi
done
wait

"$tool" --header
for c in "${cells[@]}"; do
  set -- $c
  cat "$out/$1-$2-$3.row"
done
echo "logs: $out" >&2
