#!/bin/bash
# Builds Quillora and runs every test: the unit and widget tests (ctest, on
# Qt's offscreen platform), the real-sound tests against a PulseAudio server
# with a virtual source that this script starts, a look at the program under
# Xvfb, the Debian package installed and started as a user, the Windows
# build's tests, program and installer under Wine, and the capture, speech
# and session tests under ThreadSanitizer. Installs what it needs.
#
# Switches (environment): QUILLORA_SKIP_DEPS=1 installs no packages,
# QUILLORA_SKIP_WINE=1 leaves out the Windows build, QUILLORA_SKIP_PACKAGE=1
# leaves out the package test, QUILLORA_SKIP_TSAN=1 the ThreadSanitizer pass.
set -uo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
started=$(date +%s)

if [ "${QUILLORA_SKIP_DEPS:-0}" != 1 ]; then
  scripts/deps.sh test || exit 1
fi

echo "== build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
cmake --build build -j"$(nproc)" || exit 1

status=0

# The capture, speech and session tests once more, built with ThreadSanitizer
# in build-tsan; needs the sound server below.
tsan_tests() {
  echo "== capture, speech and session tests under ThreadSanitizer"
  scripts/tsan-tests.sh
}

echo "== sound server"
# A fresh server in a private runtime folder; a desktop's own server is
# neither used nor stopped.
pulse_env="$(scripts/pulse-start.sh)" || { echo "cannot start the PulseAudio server" >&2; exit 1; }
eval "$pulse_env"
trap 'scripts/pulse-stop.sh >/dev/null 2>&1 || true' EXIT

echo "== the program under Xvfb"
if ! QUILLORA_SHOTS="$root/build/screenshots" scripts/run.sh; then
  echo "FAILED: the program did not start and close normally under Xvfb" >&2
  status=1
fi

if [ "${QUILLORA_SKIP_PACKAGE:-0}" != 1 ]; then
  echo "== the Debian package, installed"
  if [ "$(id -u)" -eq 0 ]; then
    scripts/package-test.sh build || status=1
  else
    echo "skipped: installing a package needs root (sudo scripts/package-test.sh build)"
  fi
fi

if [ "${QUILLORA_SKIP_WINE:-0}" != 1 ]; then
  echo "== Windows build under Wine"
  scripts/wine-tests.sh || status=1
  echo "== the whole Windows program under Wine: tests, a session, the installer"
  scripts/wine-full-tests.sh || status=1
fi

echo "== tests (set-up so far: $(( $(date +%s) - started )) s)"
ctest --test-dir build --output-on-failure --timeout 600 -j2 || status=1

# After the tests above: its real-sound tests share the server's sink.
if [ "${QUILLORA_SKIP_TSAN:-0}" != 1 ]; then
  tsan_tests || status=1
fi

exit $status
