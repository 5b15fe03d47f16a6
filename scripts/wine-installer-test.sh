#!/bin/bash
# The Windows packages of a cross build (cpack: a ZIP and an NSIS installer),
# checked and, under Wine in a prefix of their own, installed and uninstalled
# silently as an administrator's deployment tool would ("/S"):
#   the ZIP holds the program folder; quillora.exe carries the icon and the
#   project's version;
#   the installer puts the program under "C:\Program Files\Quillora" with a
#   Start-menu entry, an uninstaller and an "Apps and features" entry;
#   the installed program starts (its main and settings windows open) and on
#   a normal close writes its settings file into the user's folder (%LOCALAPPDATA%\Quillora), never into Program Files;
#   the uninstaller removes the folder, the entry and the menu link and
#   leaves the user's settings alone.
#
# Usage: scripts/wine-installer-test.sh BUILD_DIR
# The log of the run: BUILD_DIR/installer-test/log.txt.
set -uo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
build="${1:?usage: $0 BUILD_DIR}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac
. "$root/scripts/wine-prefix.sh"
. "$root/scripts/xvfb.sh"
xwin="$root/scripts/xwin.py"
out="$build/installer-test"
wine_tools
rm -rf "$out"
mkdir -p "$out"
log="$out/log.txt"
status=0
say() { echo "installer-test: $*" | tee -a "$log"; }
bad() { say "FAILED: $*"; status=1; }

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { bad "no project version in $build/CMakeCache.txt"; exit 1; }
base="quillora-$version-win64"

# --- the packages ------------------------------------------------------------
rm -f "$build/$base.zip" "$build/$base.exe"
if ! (cd "$build" && cpack -G "ZIP;NSIS" >"$out/cpack.log" 2>&1); then
  tail -20 "$out/cpack.log" >&2
  bad "cpack failed: $out/cpack.log"
  exit 1
fi
for f in "$base.zip" "$base.exe"; do
  [ -f "$build/$f" ] || { bad "cpack made no $f"; exit 1; }
  say "$f: $(stat -c %s "$build/$f") bytes ($(du -h "$build/$f" | cut -f1))"
done
listing=$(unzip -Z1 "$build/$base.zip")
for f in quillora.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll platforms/qwindows.dll \
         styles/qwindowsvistastyle.dll translations/qtbase_ru.qm; do
  grep -qx "$base/$f" <<<"$listing" || bad "the ZIP lacks $f"
done
# Icon and version: the resource section of the executable in the ZIP.
unzip -p "$build/$base.zip" "$base/quillora.exe" >"$out/quillora.exe"
# The resource types at the top of the table: 3 icon, 14 icon group, 16
# version. objdump's headings are translated in other locales.
types=$(LC_ALL=C x86_64-w64-mingw32-objdump -p "$out/quillora.exe" |
        sed -n '/The .rsrc Resource Directory section/,$p' | sed -n 's/^[0-9a-f]\{3\}   Entry: ID: //p')
grep -q '^0x000003' <<<"$types" && grep -q '^0x00000e' <<<"$types" || bad "quillora.exe has no icon"
grep -q '^0x000010' <<<"$types" || bad "quillora.exe has no version information"
strings -el -n 3 "$out/quillora.exe" | grep -A1 -x ProductVersion | grep -qx "$version" ||
  bad "quillora.exe does not say version $version"

# --- install, start, uninstall under Wine -----------------------------------
# A fresh prefix, copied from the tests' when there is one.
wine_latin_system ru_RU.UTF-8
prefix="$out/wineprefix"
if [ -f "$build/wineprefix/.quillora-ready" ]; then
  WINEPREFIX="$build/wineprefix" "$WINESERVER" -k >/dev/null 2>&1
  cp -a "$build/wineprefix" "$prefix"
fi
wine_prefix_init "$prefix" "$out/wineboot.log" || { bad "no Wine prefix"; exit 1; }
export PULSE_SERVER=unix:/nonexistent/quillora-no-server
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv=d"
unset WAYLAND_DISPLAY
start_xvfb 1600x1000 || { bad "no Xvfb"; exit 1; }
trap '"$WINESERVER" -k >/dev/null 2>&1; kill $XVFB_PID 2>/dev/null' EXIT

c="$prefix/drive_c"
user=$(ls "$c/users" | grep -vx Public | head -1)
app="$c/Program Files/Quillora"
menu="$c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quillora"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillora'
user_ini="$c/users/$user/AppData/Local/Quillora/Quillora.ini"

t0=$(date +%s)
timeout 300 "$WINE" "$build/$base.exe" /S </dev/null >>"$log" 2>&1
rc=$?
timeout 120 "$WINESERVER" -w
say "silent install: exit $rc, $(( $(date +%s) - t0 )) s"
[ $rc -eq 0 ] || bad "the installer exited with $rc"
for f in quillora.exe Uninstall.exe Qt6Widgets.dll platforms/qwindows.dll translations/qtbase_ru.qm; do
  [ -f "$app/$f" ] || bad "not installed: C:\\Program Files\\Quillora\\$f"
done
say "installed: $(find "$app" -type f | wc -l) files, $(du -sh "$app" | cut -f1) in C:\\Program Files\\Quillora"
ls "$menu" 2>/dev/null | sed 's/^/installer-test:   Start menu: /' | tee -a "$log"
[ -f "$menu/Quillora.lnk" ] || bad "no Start-menu entry Quillora.lnk"
"$WINE" reg query "$uninstall_key" >"$out/uninstall-key.txt" 2>&1 || bad "no uninstall entry $uninstall_key"
grep -E 'DisplayName|DisplayVersion|UninstallString|DisplayIcon' "$out/uninstall-key.txt" | sed 's/^ */installer-test:   /' | tee -a "$log"

# The installed program: it starts, and a normal close writes its settings
# into the user's folder.
(cd "$app" && exec "$WINE" "C:\\Program Files\\Quillora\\quillora.exe") >"$out/program.log" 2>&1 &
pid=$!
if "$xwin" wait QUILLORA 120 >/dev/null && "$xwin" wait "Настройки" 30 >/dev/null; then
  sleep 2
  import -window root "$out/installed-program.png"
  "$xwin" close QUILLORA
  for _ in $(seq 60); do kill -0 $pid 2>/dev/null || break; sleep 0.5; done
  if kill -0 $pid 2>/dev/null; then bad "the installed program did not end on close"; kill $pid; fi
  timeout 60 "$WINESERVER" -w
  say "the installed program started and closed"
else
  bad "the installed program's windows did not appear"
  kill $pid 2>/dev/null
  "$WINESERVER" -k
fi
[ -f "$user_ini" ] && say "settings written to %LOCALAPPDATA%\\Quillora\\Quillora.ini ($(wc -l <"$user_ini") lines)" ||
  bad "no settings file in %LOCALAPPDATA%\\Quillora"
[ ! -e "$app/Quillora.ini" ] && [ ! -e "$app/instrec.data" ] || bad "the program wrote into Program Files"

t0=$(date +%s)
timeout 300 "$WINE" "C:\\Program Files\\Quillora\\Uninstall.exe" /S </dev/null >>"$log" 2>&1
rc=$?
# The uninstaller copies itself out of the folder and goes on from there.
timeout 120 "$WINESERVER" -w
say "silent uninstall: exit $rc, $(( $(date +%s) - t0 )) s"
[ ! -e "$app" ] || bad "left behind: $(cd "$app" && find . | head -5 | tr '\n' ' ')"
[ ! -e "$menu" ] || bad "the Start-menu folder is still there"
"$WINE" reg query "$uninstall_key" >/dev/null 2>&1 && bad "the uninstall entry is still there"
[ -f "$user_ini" ] || bad "the uninstaller removed the user's settings"
[ $status -eq 0 ] && say "passed"
exit $status
