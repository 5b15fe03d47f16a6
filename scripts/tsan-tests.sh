#!/bin/bash
# Builds the capture, speech and session tests with ThreadSanitizer in their
# own build folder and runs them once; any report fails the run. The
# real-sound tests among them need the PulseAudio server of
# scripts/pulse-start.sh, its environment exported (scripts/test.sh runs this
# inside its server's window).
#
# Qt is not built with ThreadSanitizer: its own locks and atomics are
# invisible to it, so objects handed between threads through Qt would be
# reported falsely. The tests here keep their Qt objects on one thread; the
# threads they have (capture streams, the speech worker) meet through the
# standard library and pthreads, which it sees.
#
# QUILLORA_TSAN_BUILD names the build folder (default build-tsan).
set -uo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
build="${QUILLORA_TSAN_BUILD:-build-tsan}"
# The session area's real-sound switch trials are built only so ctest finds
# them; they run in the main pass (minutes of real time, no threads of ours
# beyond the capture's, which capture_real_tests covers here).
targets=(capture_tests capture_real_tests test_speech speech_real_tests test_session test_switch_realsound)

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLORA_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread \
  "${launcher[@]}" >/dev/null || exit 1
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}" || exit 1

# The first report ends the test program with exit code 66. die_after_fork=0:
# QProcess starts the burst player by a fork of the threaded test that runs
# none of our code before exec, yet ThreadSanitizer would end the test at it.
export TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1 die_after_fork=0 suppressions=$root/tests/tsan.supp"
status=0
for area in capture speech; do
  ctest --test-dir "$build/tests/$area" --output-on-failure --timeout 600 -j2 || status=1
done
ctest --test-dir "$build/tests/session" -LE realsound --output-on-failure --timeout 600 -j2 || status=1
exit $status
