# Sourced by the scripts that run the Windows build under Wine.
#   wine_tools               sets WINE and WINESERVER (Debian keeps wine64 in
#                            /usr/lib/wine)
#   wine_prefix_init DIR LOG makes the Wine prefix DIR once (no Mono or Gecko
#                            installers) with a Latin system code page, and
#                            exports WINEPREFIX, WINEARCH and WINEDEBUG
#   wine_latin_codepage      sets the prefix's ANSI and OEM code pages to 1252
#                            and 437: text the program keeps in Windows-1251
#                            must not come out right only because the
#                            system's code page happens to be Cyrillic
#   wine_windows_fonts       Windows' own font names (Arial, Times New Roman,
#                            Courier New) stand for the metric-compatible
#                            Liberation fonts of the host (fonts-liberation)
#   wine_latin_system [LANG] Wine takes the code pages from the C library's
#                            LC_CTYPE, over the registry: LC_CTYPE=C.UTF-8
#                            keeps them Latin, LANG (default: the caller's)
#                            gives the user's language and formats; a Russian
#                            one is generated when missing
wine_tools() {
  WINE=/usr/lib/wine/wine64
  WINESERVER=/usr/lib/wine/wineserver
  [ -x "$WINE" ] || WINE=$(command -v wine64 || command -v wine)
  [ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver)
}

wine_latin_codepage() {
  local key='HKLM\System\CurrentControlSet\Control\Nls\CodePage'
  "$WINE" reg add "$key" /v ACP /t REG_SZ /d 1252 /f >/dev/null 2>&1 &&
    "$WINE" reg add "$key" /v OEMCP /t REG_SZ /d 437 /f >/dev/null 2>&1 &&
    "$WINESERVER" -w
}

wine_windows_fonts() {
  local key='HKCU\Software\Wine\Fonts\Replacements' name
  for name in "Arial=Liberation Sans" "Times New Roman=Liberation Serif" "Courier New=Liberation Mono"; do
    "$WINE" reg add "$key" /v "${name%%=*}" /t REG_SZ /d "${name#*=}" /f >/dev/null 2>&1 || return 1
  done
  "$WINESERVER" -w
}

wine_prefix_init() {
  local dir=$1 log=$2 rc
  wine_tools
  export WINEPREFIX="$dir" WINEARCH=win64 WINEDEBUG=-all
  [ -f "$dir/.quillora-ready" ] && return 0
  rm -rf "$dir"
  WINEDLLOVERRIDES="mscoree,mshtml=" timeout 600 "$WINE" wineboot --init </dev/null >"$log" 2>&1
  rc=$?
  timeout 120 "$WINESERVER" -w
  if [ $rc -ne 0 ] || [ ! -f "$dir/system.reg" ]; then
    echo "wineboot failed (exit $rc), see $log" >&2
    return 1
  fi
  wine_latin_codepage || { echo "could not set the prefix's code page" >&2; return 1; }
  wine_windows_fonts || { echo "could not set the prefix's font replacements" >&2; return 1; }
  touch "$dir/.quillora-ready"
}

wine_latin_system() {
  local lang=${1:-${LANG:-}}
  if [ "${lang%%.*}" = ru_RU ] && ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
    localedef -i ru_RU -f UTF-8 ru_RU.UTF-8 >/dev/null 2>&1 ||
      echo "could not generate the ru_RU.UTF-8 locale: Wine's user language stays English" >&2
  fi
  unset LC_ALL
  if [ -n "$lang" ]; then export LANG="$lang"; else unset LANG; fi
  export LC_CTYPE=C.UTF-8
}
