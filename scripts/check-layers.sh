#!/bin/bash
# Checks that every folder includes only what its layer may: the project's
# headers of the folders below it, and Qt's headers of the modules it may use
# (none in the layers that are also built for Windows without Qt). A sound or
# speech library's headers belong in the platform back ends (and app/, which
# names their versions) alone. Exit 1 and a line per offending include when
# one does not.
set -uo pipefail
cd "$(dirname "$0")/.."

qt_root=""
for d in /usr/include/x86_64-linux-gnu/qt6 /usr/include/qt6; do
  [ -d "$d" ] && { qt_root="$d"; break; }
done

# folder: project folders it may include (a "folder/Header.h" entry allows
# that header alone; "*" everything) | Qt modules it may include ("*": any)
declare -A project=(
  [capture]="capture"
  [inifile]="inifile"
  [speech]="speech"
  [sensor]="sensor capture recording inifile"
  [recording]="recording sensor inifile"
  [session]="session sensor capture recording inifile files speech"
  [files]="files sensor inifile recording"
  [indicators]="indicators sensor recording"
  [seams]="seams session"
  [sim]="sim session sensor tests"
  [windows]="windows session seams indicators files sensor recording
             inifile/Cp1251.h inifile/TextNumbers.h inifile/WholeFile.h"
  [app]="*"
)
declare -A qt=(
  [capture]="" [inifile]="" [sensor]="" [recording]="" [speech]=""
  [session]="QtCore" [files]="QtCore" [sim]="QtCore"
  [indicators]="QtCore QtGui"
  [seams]="QtCore QtGui QtWidgets"
  [windows]="QtCore QtGui QtWidgets"
  [app]="*"
)
# The platform back ends: the one place below app/ that meets a sound or
# speech library.
backends=(capture/PulseCapture.cpp capture/WaveInCapture.cpp capture/WaveInInputs.cpp
  speech/EspeakSpeech.cpp speech/SapiSpeech.cpp speech/PulseAlarm.cpp speech/WaveAlarm.cpp)
library_re='^((pulse|espeak-ng)/.*|mmsystem\.h|mmddk\.h|sapi\.h)$'

allows() {  # list item: whether the space-separated list holds the item or "*"
  [[ " ${1//$'\n'/ } " == *" $2 "* || " $1 " == *" * "* ]]
}

failed=0
for b in "${backends[@]}"; do
  [ -f "$b" ] && continue
  echo "$b: named as a platform back end in scripts/check-layers.sh but missing"
  failed=1
done

for folder in "${!project[@]}"; do
  [ -d "$folder" ] || continue
  while IFS= read -r file; do
    [ -f "$file" ] || continue
    backend=0
    allows "${backends[*]}" "$file" && backend=1
    while IFS= read -r line; do
      inc="${line#*:}"
      num="${line%%:*}"
      if [[ "$inc" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"(([a-z_]+)/[^\"]*)\" ]]; then
        path="${BASH_REMATCH[1]}"
        dir="${BASH_REMATCH[2]}"
        allows "${project[$folder]}" "$dir" && continue
        allows "${project[$folder]}" "$path" && continue
        if [[ "${project[$folder]}" == *"$dir/"* ]]; then
          echo "$file:$num: $folder/ may not include $path"
        else
          echo "$file:$num: $folder/ may not include $dir/"
        fi
        failed=1
      elif [[ "$inc" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<(Qt[A-Za-z]*/)?(Q[A-Za-z0-9_]*)\> ]]; then
        header="${BASH_REMATCH[2]}"
        module="${BASH_REMATCH[1]%/}"
        [ "${qt[$folder]}" = "*" ] && continue
        ok=0
        for m in ${qt[$folder]}; do
          if [ -n "$module" ]; then [ "$module" = "$m" ] && ok=1
          elif [ -n "$qt_root" ] && [ -e "$qt_root/$m/$header" ]; then ok=1
          fi
        done
        [ $ok = 1 ] && continue
        echo "$file:$num: $folder/ may not include <$header> (allowed: ${qt[$folder]:-no Qt})"
        failed=1
      elif [[ "$inc" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<([^\>]+)\> ]] &&
           [[ "${BASH_REMATCH[1]}" =~ $library_re ]]; then
        [ $backend = 1 ] || [ "$folder" = app ] && continue
        echo "$file:$num: $folder/ may not include <${BASH_REMATCH[1]}> (only the platform back ends)"
        failed=1
      fi
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include' "$file")
  done < <(git ls-files --cached --others --exclude-standard "$folder/*.h" "$folder/*.cpp" 2>/dev/null ||
           find "$folder" -name '*.h' -o -name '*.cpp')
done
[ $failed = 0 ] && echo "layers: every include is allowed"
exit $failed
