#!/bin/bash
# Builds the whole program for 64-bit Windows on Debian and starts it under
# Wine. Debian has no Qt for MinGW, so this builds Qt's base module (Core,
# Gui, Widgets) from Debian's own source package with MinGW-w64 first, into
# a cache folder outside the repository, using Debian's host Qt tools (moc,
# rcc, uic). Not part of CI: the Qt build takes about an hour on two cores.
#
# Usage: scripts/windows-full-build.sh [STAGE...]
#   stages: sources qt program run (default: all of them, in this order)
# Environment:
#   QUILLORA_QT_MINGW_CACHE  the cache folder (default /work/.cache/qt-mingw
#                            when /work exists, else ~/.cache/quillora-qt-mingw)
#   QUILLORA_JOBS            parallel jobs (default 2); everything runs nice -n 19
# Results, all in the cache folder:
#   qt6/            Qt for x86_64-w64-mingw32 (installed)
#   build-quillora/ the program's cross build
#   dist/           quillora.exe with the DLLs and plug-ins it needs
#   run/            the Wine prefix, the screenshot and the settings file of the run
#   times.txt       seconds per stage
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
if [ -n "${QUILLORA_QT_MINGW_CACHE:-}" ]; then
  cache="$QUILLORA_QT_MINGW_CACHE"
elif [ -d /work ] && [ -w /work ]; then
  cache=/work/.cache/qt-mingw
else
  cache="$HOME/.cache/quillora-qt-mingw"
fi
mkdir -p "$cache"
cache="$(cd "$cache" && pwd)"
case "$cache/" in "$root"/*) echo "the cache folder must be outside the repository" >&2; exit 1 ;; esac
jobs="${QUILLORA_JOBS:-2}"
triplet=x86_64-w64-mingw32
toolchain="$root/cmake/mingw-w64-x86_64.cmake"
qt_version=6.4.2
qt_src="$cache/qt6-base-$qt_version+dfsg"
qt_build="$cache/build-qt6"
qt_prefix="$cache/qt6"
app_build="$cache/build-quillora"
dist="$cache/dist"
run_dir="$cache/run"
export CCACHE_BASEDIR="$cache" CCACHE_DIR="${CCACHE_DIR:-$cache/ccache}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

stages=("$@")
[ ${#stages[@]} -eq 0 ] && stages=(sources qt program run)

log() { echo "== $*"; }
timed() {  # name command...: runs the command, appends its time to times.txt
  local name=$1 t0 rc; shift
  t0=$(date +%s)
  # A subshell of its own, so that errexit holds inside the stage and its
  # exit trap runs when the stage ends.
  set +e
  ( set -e; "$@" )
  rc=$?
  set -e
  echo "$name $(( $(date +%s) - t0 )) s (exit $rc)" | tee -a "$cache/times.txt"
  return $rc
}

need_packages() { "$root/scripts/deps.sh" packages "$@"; }

# --- sources ---------------------------------------------------------------
# Debian's qt6-base source package. The registry serves sources once a
# deb-src entry for bookworm exists; the machine's entries may be one-line
# (sources.list) or deb822 (*.sources).
stage_sources() {
  need_packages dpkg-dev
  if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    log "adding a deb-src entry for bookworm"
    $sudo tee /etc/apt/sources.list.d/quillora-deb-src.sources >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    $sudo apt-get update -qq </dev/null
  fi
  if [ ! -d "$qt_src" ]; then
    log "apt-get source qt6-base"
    (cd "$cache" && apt-get source -qq "qt6-base=$qt_version+dfsg-10" </dev/null ||
                    apt-get source -qq qt6-base </dev/null)
  fi
  [ -f "$qt_src/CMakeLists.txt" ] || { echo "no Qt sources in $qt_src" >&2; exit 1; }
}

# --- Qt --------------------------------------------------------------------
# Only Core, Gui and Widgets, shared, with the Windows platform and style
# plug-ins. The host tools (moc, rcc, uic, ...) are Debian's, found through
# QT_HOST_PATH: Debian's Qt6HostInfo lives in /usr/lib/<multiarch>/cmake and
# names the tools' folders relative to /usr.
#
# The dfsg tarball lacks src/3rdparty/wintab (tablet input on Windows) and
# src/3rdparty/sqlite: tablet events and SQL are off. Everything else Qt
# needs on Windows is bundled in the tarball and used from there (zlib,
# pcre2, harfbuzz, libpng, double-conversion, md4c), not from the host.
# Qt 6.4's DirectWrite fonts need Direct2D (its code and build rules assume
# both); with Direct2D off, DirectWrite is off too and fonts come from GDI.
stage_qt() {
  need_packages cmake ninja-build ccache g++-mingw-w64-x86-64-posix qt6-base-dev-tools qt6-base-dev
  local multiarch
  multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
  [ -f "/usr/lib/$multiarch/cmake/Qt6HostInfo/Qt6HostInfoConfig.cmake" ] ||
    { echo "no Qt6HostInfo for the host Qt" >&2; exit 1; }
  log "configuring Qt in $qt_build"
  mkdir -p "$qt_build"
  nice -n 19 cmake -S "$qt_src" -B "$qt_build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$qt_prefix" \
    -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$multiarch/cmake" \
    -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DQT_BUILD_TOOLS_WHEN_CROSSCOMPILING=OFF \
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF \
    -DFEATURE_opengl=OFF -DINPUT_opengl=no -DFEATURE_vulkan=OFF \
    -DFEATURE_testlib=OFF -DFEATURE_printsupport=OFF \
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
    -DFEATURE_tabletevent=OFF -DFEATURE_direct2d=OFF -DFEATURE_directwrite=OFF \
    -DFEATURE_freetype=OFF -DFEATURE_fontconfig=OFF \
    -DFEATURE_zstd=OFF -DFEATURE_icu=OFF -DFEATURE_glib=OFF \
    -DFEATURE_jpeg=OFF -DFEATURE_gif=ON -DFEATURE_png=ON \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF \
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_png=OFF \
    -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_textmarkdownreader=OFF \
    </dev/null >"$cache/qt-configure.log" 2>&1 ||
    { tail -40 "$cache/qt-configure.log" >&2; echo "Qt's configure failed: $cache/qt-configure.log" >&2; exit 1; }
  log "building Qt (-j$jobs, nice 19; log $cache/qt-build.log)"
  nice -n 19 cmake --build "$qt_build" -j"$jobs" </dev/null >"$cache/qt-build.log" 2>&1 ||
    { tail -40 "$cache/qt-build.log" >&2; echo "Qt's build failed: $cache/qt-build.log" >&2; exit 1; }
  nice -n 19 cmake --install "$qt_build" >"$cache/qt-install.log" 2>&1
  log "Qt installed in $qt_prefix ($(du -sh "$qt_prefix" | cut -f1))"
}

# --- the program -----------------------------------------------------------
# The whole program against the Qt above, without tests and benchmarks, and a
# folder that holds it with what it needs: what windeployqt does on Windows
# (it does not exist for Linux), done by reading each DLL's imports.
stage_program() {
  need_packages cmake ninja-build ccache g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
    qt6-base-dev-tools qt6-translations-l10n
  [ -f "$qt_prefix/lib/cmake/Qt6/Qt6Config.cmake" ] || { echo "no Qt in $qt_prefix: run the qt stage" >&2; exit 1; }
  local multiarch
  multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
  # Qt's toolchain file loads the MinGW one the Qt build used and adds the
  # Qt prefix to the folders searched for the target.
  log "configuring the program in $app_build"
  nice -n 19 cmake -S "$root" -B "$app_build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$qt_prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$multiarch/cmake" \
    -DQUILLORA_BUILD_TESTS=OFF -DQUILLORA_BUILD_BENCH=OFF \
    </dev/null >"$cache/program-configure.log" 2>&1 ||
    { tail -40 "$cache/program-configure.log" >&2; echo "the program's configure failed: $cache/program-configure.log" >&2; exit 1; }
  log "building the program"
  nice -n 19 cmake --build "$app_build" -j"$jobs" --target quillora </dev/null >"$cache/program-build.log" 2>&1 ||
    { tail -40 "$cache/program-build.log" >&2; echo "the program's build failed: $cache/program-build.log" >&2; exit 1; }

  log "program folder $dist"
  rm -rf "$dist"
  mkdir -p "$dist/platforms" "$dist/styles" "$dist/imageformats" "$dist/translations"
  cp "$app_build/app/quillora.exe" "$dist/"
  cp "$qt_prefix/plugins/platforms/qwindows.dll" "$dist/platforms/"
  cp "$qt_prefix"/plugins/styles/*.dll "$dist/styles/" 2>/dev/null || true
  cp "$qt_prefix"/plugins/imageformats/*.dll "$dist/imageformats/" 2>/dev/null || true
  cp /usr/share/qt6/translations/qtbase_ru.qm "$dist/translations/"
  [ -f "$app_build/app/scale.bmp" ] && cp "$app_build/app/scale.bmp" "$dist/"
  # The DLLs that the programs and plug-ins import, from Qt or MinGW's
  # run time, until nothing new is needed.
  local gcc_dir search=() added=1 f dll d
  gcc_dir=$(dirname "$("${triplet}-g++-posix" -print-libgcc-file-name)")
  search=("$qt_prefix/bin" "$gcc_dir" "/usr/$triplet/lib" "/usr/$triplet/bin")
  while [ $added = 1 ]; do
    added=0
    while read -r dll; do
      [ -f "$dist/$dll" ] && continue
      for d in "${search[@]}"; do
        if [ -f "$d/$dll" ]; then cp "$d/$dll" "$dist/"; added=1; break; fi
      done
    done < <(find "$dist" -name '*.exe' -o -name '*.dll' | while read -r f; do
               LC_ALL=C "${triplet}-objdump" -p "$f" | sed -n 's/^\tDLL Name: //p'
             done | sort -u)
  done
  log "$(find "$dist" -type f | wc -l) files, $(du -sh "$dist" | cut -f1): $(cd "$dist" && ls *.dll | tr '\n' ' ')"
}

# --- the run under Wine -------------------------------------------------------
# Starts the program folder under Wine on a virtual display, with Russian as
# the user's language: the four windows open, a session runs on the test
# signal ("Без датчика" set in the settings file, "СТАРТ", then F9 as the
# signal), screenshots are taken, and the program is closed the normal way
# (the close question answered "Да"); the settings file must then have been
# rewritten by the program.
stage_run() {
  need_packages wine64 xvfb xdotool imagemagick x11-utils python3-xlib locales
  [ -f "$dist/quillora.exe" ] || { echo "no program in $dist: run the program stage" >&2; exit 1; }
  # Wine takes the user's language from the C library's locale.
  if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
    log "generating the ru_RU.UTF-8 locale"
    $sudo localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
  fi
  local wine=/usr/lib/wine/wine64 wineserver=/usr/lib/wine/wineserver
  [ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
  [ -x "$wineserver" ] || wineserver=$(command -v wineserver)
  mkdir -p "$run_dir"
  export WINEPREFIX="$run_dir/wineprefix" WINEDEBUG=-all WINEARCH=win64
  export LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
  # No sound server: the program finds no input device, which the test
  # signal does not need.
  export PULSE_SERVER=unix:/nonexistent
  unset WAYLAND_DISPLAY

  local program_pid=""
  . "$root/scripts/xvfb.sh"
  start_xvfb 1600x1000 || exit 1
  # The values go into the trap now: the locals are gone when it runs.
  trap "'$wineserver' -k >/dev/null 2>&1; kill $XVFB_PID 2>/dev/null" EXIT

  if [ ! -f "$WINEPREFIX/.quillora-ready" ]; then
    log "Wine prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    WINEDLLOVERRIDES="mscoree,mshtml=" timeout 600 "$wine" wineboot --init </dev/null >"$run_dir/wineboot.log" 2>&1
    timeout 120 "$wineserver" -w
    touch "$WINEPREFIX/.quillora-ready"
  fi

  # A fresh copy of the program folder, so that it starts as on a first run.
  local app="$run_dir/Quillora" shots="$run_dir/shots" xwin="$root/scripts/xwin.py"
  rm -rf "$app" "$shots"
  cp -r "$dist" "$app"
  mkdir -p "$shots"
  printf '[General Options]\r\nNo Sensor Mode=1\r\n' >"$app/Quillora.ini"
  local seeded
  seeded=$(md5sum <"$app/Quillora.ini")

  log "starting quillora.exe under Wine on $DISPLAY"
  local t0
  t0=$(date +%s)
  (cd "$app" && exec "$wine" ./quillora.exe) >"$run_dir/quillora.log" 2>&1 &
  program_pid=$!
  # The main and settings windows open at start; the panel opens with "И"
  # of the main window and the graph with "Г" of the panel (design places:
  # "СТАРТ" (504, 126) and "И" (612, 156) of the main window, "Г" (780, 132)
  # of the panel).
  local title id main_id
  for title in "QUILLORA" "Настройки"; do
    id=$("$xwin" wait "$title" 120) || { echo "window \"$title\" did not appear" >&2; "$xwin" list >&2; exit 1; }
  done
  sleep 2
  import -window root "$shots/1-start.png"
  # The session: "СТАРТ", then F9 a few times, each a selection on the test
  # signal.
  main_id=$("$xwin" wait "QUILLORA" 5)
  xdotool mousemove --window "$main_id" 504 126 click 1
  sleep 1
  xdotool mousemove --window "$main_id" 612 156 click 1
  id=$("$xwin" wait "Инструментальная панель" 30) || { echo "the panel did not open" >&2; "$xwin" list >&2; exit 1; }
  xdotool mousemove --window "$id" 780 132 click 1
  "$xwin" wait "График показаний Е-метра" 30 >/dev/null || { echo "the graph did not open" >&2; "$xwin" list >&2; exit 1; }
  echo "the four windows are open after $(( $(date +%s) - t0 )) s" | tee -a "$cache/times.txt"
  "$xwin" list >"$run_dir/windows.txt"
  main_id=$("$xwin" wait "QUILLORA" 5)
  xdotool windowraise "$main_id" windowfocus "$main_id" || true
  sleep 1
  local k
  for k in 1 2 3 4 5; do xdotool key F9; sleep 1.5; done
  import -window root "$shots/2-session.png"

  # The normal close: the tape holds text, so the program asks first.
  "$xwin" close "QUILLORA"
  sleep 3
  import -window root "$shots/3-close-question.png"
  "$xwin" list >"$run_dir/windows-at-close.txt"
  # The question's default button is "Нет": one step back to "Да".
  xdotool key shift+Tab; sleep 0.5; xdotool key space
  local i
  for i in $(seq 60); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.5; done
  if kill -0 "$program_pid" 2>/dev/null; then
    import -window root "$shots/4-not-closed.png"
    echo "the program did not end within 30 s of the close" >&2
    exit 1
  fi
  wait "$program_pid" || true
  echo "run $(( $(date +%s) - t0 )) s from the start to the end of the program" | tee -a "$cache/times.txt"
  if [ "$(md5sum <"$app/Quillora.ini")" = "$seeded" ]; then
    echo "the settings file was not written at exit" >&2
    exit 1
  fi
  log "settings written at exit: $app/Quillora.ini ($(wc -l <"$app/Quillora.ini") lines)"
  log "screenshots: $shots"
}

# --- main ------------------------------------------------------------------
for s in "${stages[@]}"; do
  case "$s" in
    sources) timed sources stage_sources ;;
    qt) timed qt stage_qt ;;
    program) timed program stage_program ;;
    run) timed run stage_run ;;
    *) echo "unknown stage $s" >&2; exit 2 ;;
  esac
done
