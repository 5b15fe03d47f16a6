#!/bin/bash
# The whole program for 64-bit Windows, built on Debian against the prebuilt
# Qt for MinGW beside the repository (../shared/qt6-mingw), and tested under
# Wine on a virtual X display with a Latin system code page:
#   1. the cross build of the program and all its tests;
#   2. the tests under Wine (the widget tests on Qt's Windows platform);
#   3. the program itself, driven like a user (scripts/wine-program-test.sh);
#   4. the ZIP and the installer, installed and uninstalled silently
#      (scripts/wine-installer-test.sh).
# The Qt archive is unpacked once, after its checksum is checked, into a cache
# folder outside the repository: $QUILLORA_QT_MINGW_PREBUILT, or
# ${XDG_CACHE_HOME:-~/.cache}/quillora/. The archive is taken from
# $QUILLORA_QT_MINGW_ARCHIVE, or ../shared/qt6-mingw/ beside the repository
# (or beside the main checkout of a git worktree).
#
# Usage: scripts/wine-full-tests.sh [BUILD_DIR]     (default: build-win)
# Ends with the line "wine-full: N passed, N failed" (N counts the tests and
# the two runs); exits non-zero on any failure.
set -uo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
build="${1:-build-win}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac
started=$(date +%s)
. "$root/scripts/wine-prefix.sh"
. "$root/scripts/xvfb.sh"

summary() {  # passed failed
  echo "wine-full: $1 passed, $2 failed"
}
fail() {  # message: a failure before any test could run
  echo "wine-full: $*" >&2
  summary 0 1
  exit 1
}

# --- packages -------------------------------------------------------------
pkgs=(cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine64 googletest qt6-base-dev-tools qt6-base-dev qt6-translations-l10n nsis
  xvfb xdotool x11-utils imagemagick python3-xlib locales)
scripts/deps.sh packages "${pkgs[@]}" || fail "could not install ${pkgs[*]}"

# --- Qt for MinGW ---------------------------------------------------------
qt_sha256=2bea809c6ed843d1047a48e38374e70cc04f25a7e94b3803f7abd4b82a8cbff3
archive_name=qt6-mingw/qt6-6.4.2-x86_64-w64-mingw32.tar.xz
archive="${QUILLORA_QT_MINGW_ARCHIVE:-$root/../shared/$archive_name}"
# In a git worktree: beside the main checkout.
if [ ! -f "$archive" ] && common=$(git -C "$root" rev-parse --path-format=absolute --git-common-dir 2>/dev/null); then
  [ -f "$(dirname "$common")/../shared/$archive_name" ] && archive="$(dirname "$common")/../shared/$archive_name"
fi
cache="${QUILLORA_QT_MINGW_PREBUILT:-${XDG_CACHE_HOME:-$HOME/.cache}/quillora}"
qt_dir="$cache/qt6-6.4.2-mingw-${qt_sha256:0:12}"
if [ ! -f "$qt_dir/.unpacked" ]; then
  [ -f "$archive" ] || fail "no prebuilt Qt for MinGW at $archive (scripts/windows-full-build.sh builds one)"
  echo "== unpacking $archive into $qt_dir"
  [ "$(sha256sum <"$archive" | cut -d' ' -f1)" = "$qt_sha256" ] ||
    fail "$archive does not have the sha256 $qt_sha256"
  mkdir -p "$cache" || fail "cannot make $cache"
  rm -rf "$qt_dir" "$qt_dir.part"
  mkdir "$qt_dir.part" && tar -xJf "$archive" -C "$qt_dir.part" && mv "$qt_dir.part" "$qt_dir" &&
    touch "$qt_dir/.unpacked" || fail "could not unpack $archive"
fi
qt="$qt_dir/qt6"

# --- cross build ----------------------------------------------------------
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
mkdir -p "$build"
echo "== cross build in $build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake" \
  -DQUILLORA_BUILD_BENCH=OFF </dev/null >"$build/configure.log" 2>&1 ||
  { tail -30 "$build/configure.log" >&2; fail "the configure failed: $build/configure.log"; }
cmake --build "$build" -j"$(nproc)" </dev/null || fail "the cross build failed"
built=$(date +%s)

# --- Wine on a virtual display ----------------------------------------------
# The tests run in the user's language (as the caller's LANG) with Latin code
# pages; they make real windows, so they need a display.
wine_latin_system
unset WAYLAND_DISPLAY
export QUILLORA_WINE_PREFIX="$build/wineprefix"
wine_prefix_init "$QUILLORA_WINE_PREFIX" "$build/wineboot.log" || fail "no Wine prefix"
start_xvfb 1920x1080 || fail "no Xvfb"
cleanup() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
# One server for the whole run; Wine's own services start here, not inside
# a test whose output pipe they would hold open.
"$WINESERVER" -p </dev/null >/dev/null 2>&1
timeout 120 "$build/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1

# --- tests ----------------------------------------------------------------
# The Qt-free layers' tests and the wave-input tests with their sound
# set-ups run in scripts/wine-tests.sh; here the tests of everything built on
# Qt, and the speech engine's (SAPI under Wine).
echo "== tests under Wine"
log="$build/wine-full-tests.log"
: >"$log"
ctest_rc=0
# No sound server: these tests use scripted devices. Qt's Windows platform
# (QUILLORA_TEST_QPA: Wine drops QT_* variables), also while ctest lists
# a program's tests.
export QUILLORA_TEST_QPA=windows
# Tests that cannot run here, and why (each is named in the summary).
not_here=(
  # It drives Qt's own file dialog from inside the program; on Qt's Windows
  # platform the dialog is the system's (the program run below saves the
  # tape through it).
  'SaveDialog.RefusesAPathWhoseFolderDoesNotExist'
)
for dir in speech session files indicators windows packaging; do
  PULSE_SERVER=unix:/nonexistent/quillora-no-server \
    ctest --test-dir "$build/tests/$dir" -j2 --timeout 300 --output-on-failure \
    -E "^($(IFS='|'; echo "${not_here[*]}"))\$" </dev/null 2>&1 | tee -a "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || ctest_rc=1
done
results=$(grep -E '^ *[0-9]+/[0-9]+ Test +#[0-9]+:' "$log")
passed=$(grep -cE ' Passed +[0-9.]+ sec$' <<<"$results")
skipped=$(grep -cE '\*\*\*Skipped|Not Run|Disabled' <<<"$results")
total=$(grep -c . <<<"$results")
failed=$((total - passed - skipped))
if [ $ctest_rc -ne 0 ] && [ $failed -eq 0 ]; then failed=1; fi
if [ "$skipped" -gt 0 ]; then
  echo "wine-full: $skipped skipped:"
  grep -E '\*\*\*Skipped' <<<"$results" | sed 's/^/  /'
  # The reasons, as the tests printed them.
  grep -h -B1 '^\[  SKIPPED \] [A-Za-z]' "$build"/tests/*/Testing/Temporary/LastTest.log 2>/dev/null |
    grep -v '^\[  SKIPPED \]\|^--$' | sort -u | sed 's/^/  /' | head -20
fi
echo "wine-full: not run under Wine: ${not_here[*]} (the system's file dialog)"
tested=$(date +%s)
"$WINESERVER" -k >/dev/null 2>&1

# --- the program, as a user runs it ---------------------------------------
echo "== the program under Wine"
if scripts/wine-program-test.sh "$build"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
ran=$(date +%s)

# --- the packages, installed --------------------------------------------------
echo "== the ZIP and the installer under Wine"
if scripts/wine-installer-test.sh "$build"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi

echo "wine-full: build $((built - started)) s, tests $((tested - built)) s," \
  "program $((ran - tested)) s, packages $(( $(date +%s) - ran )) s, total $(( $(date +%s) - started )) s"
summary "$passed" "$failed"
[ $failed -eq 0 ]
