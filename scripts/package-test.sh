#!/bin/bash
# Builds the Debian package (in BUILD_DIR/package-build, with the flags of
# dpkg-buildflags), checks it with lintian (no errors allowed; the tags are
# printed), installs it with apt, and starts the installed
# program under Xvfb twice: as a user (uid 65534) whose home is a fresh
# temporary folder, with a Russian locale, and as root with another fresh
# home. Each run closes the program the normal way (WM_DELETE_WINDOW, as a
# window manager would) and checks that the settings and recording files were
# written in that home's ~/.config/Quillora/ and that nothing under /usr
# changed. The user's run also types on the tape, so that closing asks first
# ("Запись не сохранена. Выйти все-равно?"), takes a picture of the question
# with Qt's Russian buttons, answers No and checks the program still runs.
# Finally removes the package.
#
# Usage: scripts/package-test.sh [BUILD_DIR]   (default: build)
# Needs root (installing the package, a second user). The picture goes to
# $QUILLORA_SHOTS/close-question.png (default BUILD_DIR/screenshots).
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
root="$(pwd)"
build="${1:-build}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac
shots="${QUILLORA_SHOTS:-$build/screenshots}"
xwin="$root/scripts/xwin.py"
export PYTHONDONTWRITEBYTECODE=1   # xwin.py must not write under /usr either
user_uid=65534

fail() { echo "package-test: FAILED: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || fail "needs root (apt-get install, another user)"
now_ms() { date +%s%3N; }

# --- package --------------------------------------------------------------
# The program as Debian builds it: the hardening flags of dpkg-buildflags,
# no tests or benchmarks.
pkgbuild="$build/package-build"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
t=$(now_ms)
cmake -S "$root" -B "$pkgbuild" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUILLORA_DPKG_BUILDFLAGS=ON -DQUILLORA_BUILD_TESTS=OFF -DQUILLORA_BUILD_BENCH=OFF \
  "${launcher[@]}" >"$build/package-configure.log" 2>&1 ||
  fail "configuring the package build failed, see $build/package-configure.log"
cmake --build "$pkgbuild" --target quillora >"$build/package-build.log" 2>&1 ||
  fail "building the package's program failed, see $build/package-build.log"
echo "package build: $(( $(now_ms) - t )) ms"

# --- metadata -------------------------------------------------------------
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$pkgbuild/packaging/org.quillora.Quillora.metainfo.xml" >/dev/null ||
    fail "appstreamcli rejects the metadata"
fi
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/packaging/org.quillora.Quillora.desktop" || fail "bad desktop entry"
fi

rm -rf "$build/package"
t=$(now_ms)
(cd "$pkgbuild" && cpack -G DEB -B "$build/package" >"$build/cpack.log" 2>&1) ||
  fail "cpack failed, see $build/cpack.log"
deb=$(ls "$build"/package/quillora_*.deb 2>/dev/null | head -n1)
[ -n "$deb" ] || fail "no package made"
echo "package: $deb, $(stat -c %s "$deb") bytes, made in $(( $(now_ms) - t )) ms"

# lintian, as a plain user (it warns against root): errors fail the test;
# every tag is shown, info ones included.
if command -v lintian >/dev/null; then
  lint_dir="$(mktemp -d)"
  cp "$deb" "$lint_dir/"
  chown -R "$user_uid:$user_uid" "$lint_dir"
  lint=$(setpriv --reuid=$user_uid --regid=$user_uid --clear-groups env HOME="$lint_dir" \
           lintian -EIL +pedantic "$lint_dir/$(basename "$deb")" 2>&1)
  rm -rf "$lint_dir"
  echo "lintian:${lint:+
$lint}"
  ! grep -q '^E: ' <<<"$lint" || fail "lintian reports errors"
else
  echo "lintian: not installed, not run"
fi

xvfb_pid=""
program_pid=""
homes=()
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  if dpkg-query -W -f='${Status}' quillora 2>/dev/null | grep -q "install ok installed"; then
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq quillora >/dev/null 2>&1
  fi
  [ ${#homes[@]} -gt 0 ] && rm -rf "${homes[@]}"
}
trap cleanup EXIT

t=$(now_ms)
"$root/scripts/deps.sh" packages "$deb" >"$build/apt-install.log" 2>&1 ||
  fail "installing the package failed, see $build/apt-install.log"
echo "installed in $(( $(now_ms) - t )) ms"
for f in /usr/bin/quillora /usr/share/applications/org.quillora.Quillora.desktop \
         /usr/share/metainfo/org.quillora.Quillora.metainfo.xml \
         /usr/share/icons/hicolor/scalable/apps/org.quillora.Quillora.svg \
         /usr/share/icons/hicolor/48x48/apps/org.quillora.Quillora.png \
         /usr/share/doc/quillora/copyright /usr/share/doc/quillora/changelog.gz \
         /usr/share/man/man1/quillora.1.gz /usr/share/man/ru/man1/quillora.1.gz; do
  [ -f "$f" ] || fail "$f is not installed"
done
version=$(grep -m1 -o 'project(Quillora VERSION [0-9.]*' "$root/CMakeLists.txt" | awk '{print $3}')
first=$(env -i PATH=/usr/bin:/bin /usr/bin/quillora --version | head -n1)
[ "$first" = "Quillora $version" ] || fail "quillora --version says \"$first\", not \"Quillora $version\""
echo "installed: $first"

# --- Xvfb -----------------------------------------------------------------
. "$root/scripts/xvfb.sh"
start_xvfb 1280x900 || fail "Xvfb did not start"
xvfb_pid=$XVFB_PID

# Anything written under /usr from here on is a fault.
stamp="$(mktemp)"
sleep 1  # a whole second between the stamp and any later change

main_windows() { "$xwin" list | grep -c ' QUILLORA$'; }

wait_closed() {
  for _ in $(seq 100); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$program_pid" 2>/dev/null && fail "$1: Quillora did not close within 10 s"
  wait "$program_pid"
  local rc=$?
  program_pid=""
  [ $rc -eq 0 ] || fail "$1: Quillora ended with $rc"
}

run_installed() { # who (user|root)
  local who="$1" home
  home="$(mktemp -d /tmp/quillora-home.XXXXXX)"
  homes+=("$home")
  mkdir -p "$home/run"
  chmod 700 "$home" "$home/run"
  local env=(env -i HOME="$home" XDG_RUNTIME_DIR="$home/run" DISPLAY="$DISPLAY"
             PATH=/usr/bin:/bin LANG=ru_RU.UTF-8 LANGUAGE=ru)
  if [ "$who" = user ]; then
    chown -R "$user_uid:$user_uid" "$home"
    setpriv --reuid=$user_uid --regid=$user_uid --clear-groups "${env[@]}" /usr/bin/quillora \
      >"$home.log" 2>&1 &
  else
    "${env[@]}" /usr/bin/quillora >"$home.log" 2>&1 &
  fi
  program_pid=$!
  local t0 main_id
  t0=$(now_ms)
  main_id=$("$xwin" wait QUILLORA 30) || fail "$who: the main window did not appear"
  # The settings window appears once the chain is built and the settings read.
  "$xwin" wait "Настройки" 30 >/dev/null || fail "$who: the settings window did not appear"
  echo "$who: windows up in $(( $(now_ms) - t0 )) ms"

  if [ "$who" = user ]; then
    # Text on the tape (at 8, 424 of the main window's client area): closing
    # asks first; No keeps the program running with the tape intact.
    xdotool mousemove --window "$main_id" 200 480 click 1
    xdotool type --delay 50 "KLM"
    sleep 0.3
    "$xwin" close QUILLORA
    for _ in $(seq 50); do [ "$(main_windows)" -ge 2 ] && break; sleep 0.1; done
    [ "$(main_windows)" -ge 2 ] || fail "$who: no question on closing with text on the tape"
    sleep 0.5
    mkdir -p "$shots"
    local geo
    geo=$("$xwin" list | awk -v id="$main_id" '$1 == id { print $2 }')
    import -window root -crop "$geo" +repage "$shots/close-question.png" 2>/dev/null &&
      echo "  $shots/close-question.png"
    local box_id
    box_id=$("$xwin" list | awk -v id="$main_id" '$3 == "QUILLORA" && $1 != id { print $1; exit }')
    xdotool windowfocus --sync "$box_id" key Escape
    for _ in $(seq 50); do [ "$(main_windows)" -eq 1 ] && break; sleep 0.1; done
    [ "$(main_windows)" -eq 1 ] || fail "$who: the question did not go on No"
    sleep 0.3
    kill -0 "$program_pid" 2>/dev/null || fail "$who: answering No ended the program"
    xdotool mousemove --window "$main_id" 200 480 click 1 key ctrl+a BackSpace
    sleep 0.3
  fi

  "$xwin" close QUILLORA
  wait_closed "$who"
  local folder="$home/.config/Quillora"
  for f in Quillora.ini instrec.data; do
    [ -f "$folder/$f" ] || { cat "$home.log" >&2; fail "$who: no $folder/$f"; }
  done
  grep -q '^\[Main\]' "$folder/Quillora.ini" || fail "$who: $folder/Quillora.ini has no [Main]"
  if [ "$who" = user ]; then
    [ "$(stat -c %u "$folder/Quillora.ini")" = $user_uid ] || fail "$who: the settings file is not the user's"
  fi
  echo "$who: closed normally; settings in $folder"
  rm -f "$home.log"
}

run_installed user
run_installed root

changed=$(find /usr -xdev \( -newer "$stamp" -o -cnewer "$stamp" \) -print 2>/dev/null | head -n 20)
rm -f "$stamp"
[ -z "$changed" ] || fail "files under /usr changed while the program ran:
$changed"
echo "nothing under /usr changed"

kill "$xvfb_pid" 2>/dev/null
xvfb_pid=""
t=$(now_ms)
DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq quillora >/dev/null 2>&1 || fail "apt-get remove failed"
[ ! -e /usr/bin/quillora ] || fail "/usr/bin/quillora is left after removal"
echo "removed in $(( $(now_ms) - t )) ms"
echo "package-test: passed"
