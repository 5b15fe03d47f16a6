#!/bin/bash
# The Windows program under Wine, driven like a user, and the Linux program
# driven the same way for comparison, each on a virtual display of its own
# and from a fresh program folder whose settings file holds only
# "No Sensor Mode" (selections by F9) and a symbol table of eight Cyrillic
# letters, in Windows-1251:
#   the four windows open ("И" opens the panel, "Г" of the panel the graph);
#   "СТАРТ", F9 three times: symbols on the tape;
#   the save button, the file dialog, a file name typed, Enter: the tape is
#   appended to that file;
#   F9 twice more, then the main window closed: the question "Запись не
#   сохранена..." shows and is answered "Да"; the program ends.
# Checked: the tape file holds Cyrillic symbols in Windows-1251, the
# settings file was rewritten at exit in Windows-1251 with CRLF line ends,
# and it is the Linux program's byte for byte.
#
# Usage: scripts/wine-program-test.sh BUILD_DIR [LINUX_BUILD_DIR]
#   BUILD_DIR        the cross build (its program folder is installed into
#                    BUILD_DIR/dist)
#   LINUX_BUILD_DIR  the Linux build with app/quillora (default: build)
# Screenshots and files: BUILD_DIR/program-test/{windows,linux}/.
set -uo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
build="${1:?usage: $0 BUILD_DIR [LINUX_BUILD_DIR]}"
linux_build="${2:-$root/build}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac
case "$linux_build" in /*) ;; *) linux_build="$root/$linux_build" ;; esac
. "$root/scripts/wine-prefix.sh"
. "$root/scripts/xvfb.sh"
xwin="$root/scripts/xwin.py"
out="$build/program-test"
wine_tools

die() { echo "program-test: $*" >&2; exit 1; }

# The Linux program, built when missing (scripts/test.sh has built it).
if [ ! -x "$linux_build/app/quillora" ]; then
  cmake -S "$root" -B "$linux_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
    cmake --build "$linux_build" --target quillora >/dev/null || die "no Linux program"
fi
# The Windows program folder, as the ZIP holds it.
rm -rf "$build/dist"
cmake --install "$build" --prefix "$build/dist" >"$build/dist-install.log" 2>&1 ||
  die "cmake --install failed: $build/dist-install.log"

# drive NAME FOLDER COMMAND...: runs the session described above with the
# program started by COMMAND in FOLDER; the tape file is FOLDER/tape.txt,
# typed into the file dialog as $tape_typed.
drive() {
  local name=$1 folder=$2 shots="$out/$1/shots" pid id main_id t0 i
  shift 2
  mkdir -p "$shots"
  start_xvfb 1600x1000 || return 1
  local xvfb=$XVFB_PID
  t0=$(date +%s)
  (cd "$folder" && exec "$@") >"$out/$name/program.log" 2>&1 &
  pid=$!
  # stop: ends the program, the display and (for Wine) the prefix's server.
  stop() {
    kill "$pid" 2>/dev/null
    [ "$name" = windows ] && "$WINESERVER" -k >/dev/null 2>&1
    kill "$xvfb" 2>/dev/null
    return 1
  }
  for title in "QUILLORA" "Настройки"; do
    "$xwin" wait "$title" 120 >/dev/null || { echo "$name: window \"$title\" did not appear" >&2; stop; return 1; }
  done
  sleep 2
  main_id=$("$xwin" wait "QUILLORA" 5)
  # Design places: "СТАРТ" (504, 126) and "И" (612, 156) of the main window,
  # "Г" (780, 132) of the panel, the save button (475, 434) of the main
  # window.
  xdotool mousemove --window "$main_id" 504 126 click 1
  sleep 1
  xdotool mousemove --window "$main_id" 612 156 click 1
  id=$("$xwin" wait "Инструментальная панель" 30) || { echo "$name: the panel did not open" >&2; stop; return 1; }
  xdotool mousemove --window "$id" 780 132 click 1
  "$xwin" wait "График показаний Е-метра" 30 >/dev/null || { echo "$name: the graph did not open" >&2; stop; return 1; }
  echo "$name: the four windows are open $(( $(date +%s) - t0 )) s after the start"
  # Each window on its own, raised above the others (there is no window
  # manager to keep them apart).
  local title file wid
  for title in "Инструментальная панель:panel" "График показаний Е-метра:graph" "Настройки:settings"; do
    file=${title##*:}
    wid=$("$xwin" wait "${title%:*}" 5) || continue
    xdotool windowraise "$wid" 2>/dev/null
    sleep 1
    import -window "$wid" "$shots/0-$file.png" 2>/dev/null || true
  done
  xdotool windowraise "$main_id" windowfocus "$main_id" 2>/dev/null
  sleep 1
  for i in 1 2 3; do xdotool key F9; sleep 1.5; done
  import -window root "$shots/1-session.png"

  # The save button: no tape file yet, so the file dialog opens: a new
  # window of at least 300x200 (Wine's dialog has no title).
  big_windows() {
    xwininfo -root -children | sed -n 's/^ *\(0x[0-9a-f]*\) .* \([0-9]*\)x\([0-9]*\)+.*/\1 \2 \3/p' |
      awk '$2 >= 300 && $3 >= 200 { print $1 }' | sort
  }
  local before dialog=""
  before=$(big_windows)
  xdotool mousemove --window "$main_id" 475 434 click 1
  for i in $(seq 60); do
    dialog=$(comm -13 <(echo "$before") <(big_windows) | head -1)
    [ -n "$dialog" ] && break
    sleep 0.5
  done
  [ -n "$dialog" ] || { echo "$name: no file dialog" >&2; "$xwin" list >&2; stop; return 1; }
  echo "$name: file dialog $(xwininfo -id "$dialog" | sed -n 's/^xwininfo: Window id: //p')"
  sleep 2
  "$xwin" list >"$out/$name/windows-at-dialog.txt"
  import -window root "$shots/2-file-dialog.png"
  xdotool type --delay 30 "$tape_typed"
  sleep 0.5
  xdotool key Return
  for i in $(seq 40); do [ -s "$folder/tape.txt" ] && break; sleep 0.5; done
  [ -s "$folder/tape.txt" ] || { echo "$name: the tape was not saved through the dialog" >&2; import -window root "$shots/2-not-saved.png"; stop; return 1; }
  sleep 1

  xdotool windowraise "$main_id" windowfocus "$main_id" 2>/dev/null
  sleep 0.5
  for i in 1 2; do xdotool key F9; sleep 1.5; done
  "$xwin" close "QUILLORA"
  sleep 3
  "$xwin" list >"$out/$name/windows-at-close.txt"
  import -window root "$shots/3-close-question.png"
  # The question's default button is "Нет": one step back to "Да".
  xdotool key shift+Tab; sleep 0.5; xdotool key space
  for i in $(seq 60); do kill -0 "$pid" 2>/dev/null || break; sleep 0.5; done
  if kill -0 "$pid" 2>/dev/null; then
    echo "$name: the program did not end within 30 s of the answer" >&2
    import -window root "$shots/4-not-closed.png"
    stop
    return 1
  fi
  wait "$pid"
  echo "$name: ended $(( $(date +%s) - t0 )) s after the start"
  [ "$name" = windows ] && "$WINESERVER" -w
  kill "$xvfb" 2>/dev/null
  return 0
}

# seed FOLDER: the seeded settings file. No stop symbol in the table, so
# the session runs until it is closed.
seed() {
  { printf '[General Options]\r\nNo Sensor Mode=1\r\n[Symbol Table]\r\nCount=8\r\n'
    local i=1 letter
    for letter in А Б В Г Д Е Ж З; do printf 'Symbol %d=%s\r\n' $i "$letter"; i=$((i + 1)); done
  } | iconv -f UTF-8 -t CP1251 >"$1/Quillora.ini"
}

rm -rf "$out"
mkdir -p "$out/linux/app" "$out/windows"
status=0

# --- Linux ---------------------------------------------------------------
cp "$linux_build/app/quillora" "$out/linux/app/"
seed "$out/linux/app"
tape_typed="$out/linux/app/tape.txt"
(unset WAYLAND_DISPLAY; export QT_QPA_PLATFORM=xcb LANG=ru_RU.UTF-8; unset LC_ALL
 drive linux "$out/linux/app" ./quillora) || status=1

# --- Windows under Wine ----------------------------------------------------
# A prefix of its own, made from the tests' when that exists.
wine_latin_system ru_RU.UTF-8
prefix="$out/wineprefix"
if [ -f "$build/wineprefix/.quillora-ready" ]; then
  WINEPREFIX="$build/wineprefix" "$WINESERVER" -k >/dev/null 2>&1
  cp -a "$build/wineprefix" "$prefix"
fi
wine_prefix_init "$prefix" "$out/wineboot.log" || die "no Wine prefix"
export PULSE_SERVER=unix:/nonexistent/quillora-no-server
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv=d"
cp -r "$build/dist" "$out/windows/app"
seed "$out/windows/app"
tape_typed="Z:$(tr / '\\' <<<"$out/windows/app/tape.txt")"
(unset WAYLAND_DISPLAY; drive windows "$out/windows/app" "$WINE" ./quillora.exe) || status=1
[ $status -eq 0 ] || die "the session did not run through"

# --- the files -------------------------------------------------------------
check_files() {  # NAME
  local app="$out/$1/app" ini="$out/$1/app/Quillora.ini"
  [ "$(wc -l <"$ini")" -gt 8 ] || { echo "$1: the settings file was not rewritten at exit" >&2; return 1; }
  if LC_ALL=C grep -q $'[^\r]$' "$ini" || LC_ALL=C grep -qv $'\r$' "$ini"; then
    echo "$1: the settings file has lines without CRLF" >&2; return 1
  fi
  # The operator's mark "Оп:" and the letters, one byte each.
  LC_ALL=C grep -q $'^Operator Logo=\xce\xef:\r$' "$ini" &&
    LC_ALL=C grep -q $'^Symbol 8=\xc7\r$' "$ini" ||
    { echo "$1: the settings file's Cyrillic is not Windows-1251" >&2; return 1; }
  echo "$1: tape file: $(iconv -f CP1251 -t UTF-8 "$app/tape.txt" | tr -d '\r' | tr '\n' '|')"
  LC_ALL=C grep -q $'^- [\xc0-\xc7]\+\r$' "$app/tape.txt" ||
    { echo "$1: the tape file holds no Cyrillic symbols in Windows-1251" >&2; return 1; }
}
check_files linux || status=1
check_files windows || status=1
if cmp -s "$out/linux/app/Quillora.ini" "$out/windows/app/Quillora.ini"; then
  echo "program-test: the settings files of Linux and Windows are the same" \
       "($(wc -l <"$out/windows/app/Quillora.ini") lines, Windows-1251, CRLF)"
else
  echo "program-test: the settings files of Linux and Windows differ:" >&2
  diff <(iconv -f CP1251 -t UTF-8 "$out/linux/app/Quillora.ini") \
       <(iconv -f CP1251 -t UTF-8 "$out/windows/app/Quillora.ini") >&2
  status=1
fi
echo "program-test: screenshots in $out/{linux,windows}/shots"
exit $status
