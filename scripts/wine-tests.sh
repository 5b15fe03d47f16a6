#!/bin/bash
# Cross-builds the Qt-free layers and their tests for 64-bit Windows with
# MinGW-w64 and runs every test program under Wine, in a Wine prefix of the
# build folder's own. The wave-input tests record from PulseAudio: the
# server of scripts/pulse-start.sh when its environment is exported (as
# scripts/test.sh does), otherwise a fresh one started here and stopped at
# the end; a desktop's own server is never used.
#
# Usage: scripts/wine-tests.sh [BUILD_DIR]     (default: build-mingw)
# Ends with the line "wine: N passed, N failed"; exits non-zero on any
# failure. Needs no display and no input.
set -uo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
build="${1:-build-mingw}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac
started=$(date +%s)

summary() {  # passed failed
  echo "wine: $1 passed, $2 failed"
}

# --- packages -------------------------------------------------------------
pkgs=(cmake g++-mingw-w64-x86-64 wine64 googletest
  pulseaudio pulseaudio-utils sox)
if ! scripts/deps.sh packages "${pkgs[@]}"; then
  echo "wine-tests: could not install ${pkgs[*]}" >&2
  summary 0 1
  exit 1
fi

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)

# --- cross build ----------------------------------------------------------
generator=()
if [ ! -f "$build/CMakeCache.txt" ] && command -v ninja >/dev/null; then
  generator=(-G Ninja)
fi
echo "== cross build in $build"
if ! cmake -S "$root" -B "$build" "${generator[@]}" \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
      -DQUILLORA_CORE_ONLY=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null ||
   ! cmake --build "$build" -j"$(nproc)"; then
  echo "wine-tests: the cross build failed" >&2
  summary 0 1
  exit 1
fi
built=$(date +%s)

# --- Wine prefix ----------------------------------------------------------
# Nothing here needs a display; without one Wine shows no dialogs either.
unset DISPLAY WAYLAND_DISPLAY
# Wine takes its code pages from the Unix locale, not from the prefix's
# registry. C.UTF-8 gives the Latin ANSI code page 1252 (OEM 437), so a file
# name handed to a narrow API in Cyrillic letters is lost, whatever the
# caller's locale (a Russian one would give 1251 and hide that). Its UTF-8
# also lets Wine map names of any script to Unix file names: with a locale
# without UTF-8 (LANG unset, or a locale that is not installed) even the wide
# API cannot reach a file named in Cyrillic.
export LC_ALL=C.UTF-8
unset LANGUAGE
# Checked by a test, so a Wine that would pick another one is noticed.
export QUILLORA_ANSI_CODE_PAGE=1252
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEARCH=win64
ready="$WINEPREFIX/.quillora-ready"
cleanup() {
  "$wineserver" -k >/dev/null 2>&1 || true
  if [ -n "${own_pulse:-}" ]; then
    "$root/scripts/pulse-stop.sh" >/dev/null 2>&1
  fi
}
trap cleanup EXIT

if [ ! -f "$ready" ]; then
  echo "== Wine prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  boot_start=$(date +%s)
  # No Mono or Gecko installers: the tests are console programs.
  WINEDLLOVERRIDES="mscoree,mshtml=" timeout 300 "$wine" wineboot --init \
    </dev/null >"$build/wineboot.log" 2>&1
  boot_rc=$?
  timeout 120 "$wineserver" -w >/dev/null 2>&1
  if [ $boot_rc -ne 0 ] || [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-tests: wineboot failed (exit $boot_rc), see $build/wineboot.log" >&2
    summary 0 1
    exit 1
  fi
  touch "$ready"
  echo "wineboot took $(( $(date +%s) - boot_start )) s"
fi
# One server for the whole run instead of one per test program.
"$wineserver" -p </dev/null >/dev/null 2>&1
# The first program also starts Wine's own services (services.exe,
# winedevice.exe, ...). Started by a test program, they would inherit the
# pipe through which ctest reads its output and keep ctest waiting for it,
# so they are started here, with no pipe to hold.
warm_start=$(date +%s)
timeout 120 "$build/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1
echo "first Wine program took $(( $(date +%s) - warm_start )) s"

# --- sound ----------------------------------------------------------------
# No server of pulse-start.sh exported: start a fresh one of our own, in its
# own runtime folder, and stop only that one at the end.
if [ -z "${QUILLORA_PULSE_DIR:-}" ]; then
  if pulse_env="$("$root/scripts/pulse-start.sh" </dev/null)"; then
    eval "$pulse_env"
    own_pulse=1
  else
    export PULSE_SERVER=unix:/nonexistent
    echo "wine-tests: no PulseAudio server: the wave-input loop-back tests will skip" >&2
  fi
fi
unset QUILLORA_WAVEIN_LOOPBACK
# The loop: Wine plays into the default sink "v", whose monitor is remapped
# to the default source "vin" that Wine records from.
if pactl info >/dev/null 2>&1 &&
   [ "$(pactl get-default-sink 2>/dev/null)" = v ] &&
   [ "$(pactl get-default-source 2>/dev/null)" = vin ]; then
  export QUILLORA_WAVEIN_LOOPBACK=1
else
  echo "wine-tests: the default sink and source are not v and vin: no loop-back" >&2
fi

# --- tests ----------------------------------------------------------------
echo "== tests under Wine"
log="$build/wine-tests.log"
ctest --test-dir "$build" -j2 --timeout 120 --output-on-failure </dev/null 2>&1 | tee "$log"
ctest_rc=${PIPESTATUS[0]}

results=$(grep -E '^ *[0-9]+/[0-9]+ Test +#[0-9]+:' "$log")
passed=$(grep -cE ' Passed +[0-9.]+ sec$' <<<"$results")
skipped=$(grep -cE '\*\*\*Skipped|Not Run|Disabled' <<<"$results")
total=$(grep -c . <<<"$results")
failed=$((total - passed - skipped))
# A run that failed without any failed test (discovery, a missing program).
if [ $ctest_rc -ne 0 ] && [ $failed -eq 0 ]; then failed=1; fi
[ "$skipped" -gt 0 ] && echo "wine-tests: $skipped skipped"
echo "wine-tests: build $((built - started)) s, total $(( $(date +%s) - started )) s"
summary "$passed" "$failed"
[ $failed -eq 0 ]
