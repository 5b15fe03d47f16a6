#!/bin/bash
# Checks that every folder includes only what its layer may: the project's
# headers of the folders below it, and Qt's headers of the modules it may use
# (none in the layers that are also built for Windows without Qt). Exit 1 and
# a line per offending include when one does not.
set -uo pipefail
cd "$(dirname "$0")/.."

qt_root=""
for d in /usr/include/x86_64-linux-gnu/qt6 /usr/include/qt6; do
  [ -d "$d" ] && { qt_root="$d"; break; }
done

# folder: project folders it may include | Qt modules it may include
declare -A project=(
  [capture]="capture"
  [inifile]="inifile"
  [speech]="speech"
  [sensor]="sensor capture recording inifile"
  [recording]="recording sensor inifile"
  [session]="session sensor capture recording speech inifile"
  [files]="files sensor inifile recording"
  [indicators]="indicators sensor recording"
  [seams]="seams session"
)
declare -A qt=(
  [capture]="" [inifile]="" [sensor]="" [recording]="" [speech]=""
  [session]="QtCore" [files]="QtCore"
  [indicators]="QtCore QtGui"
  [seams]="QtCore QtGui QtWidgets"
)
# Platform back ends that are the one place a lower layer meets a library.
exempt_re='^capture/(QtAudio|PulseAudio)[A-Za-z]*\.(h|cpp)$'

failed=0
for folder in "${!project[@]}"; do
  while IFS= read -r file; do
    [[ "$file" =~ $exempt_re ]] && continue
    while IFS= read -r line; do
      inc="${line#*:}"
      num="${line%%:*}"
      if [[ "$inc" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([a-z_]+)/ ]]; then
        dir="${BASH_REMATCH[1]}"
        [[ " ${project[$folder]} " == *" $dir "* ]] && continue
        echo "$file:$num: $folder/ may not include $dir/"
        failed=1
      elif [[ "$inc" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<(Qt[A-Za-z]*/)?(Q[A-Za-z0-9_]*)\> ]]; then
        header="${BASH_REMATCH[2]}"
        module="${BASH_REMATCH[1]%/}"
        ok=0
        for m in ${qt[$folder]}; do
          if [ -n "$module" ]; then [ "$module" = "$m" ] && ok=1
          elif [ -n "$qt_root" ] && [ -e "$qt_root/$m/$header" ]; then ok=1
          fi
        done
        [ $ok = 1 ] && continue
        echo "$file:$num: $folder/ may not include <$header> (allowed: ${qt[$folder]:-no Qt})"
        failed=1
      fi
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include' "$file")
  done < <(git ls-files "$folder/*.h" "$folder/*.cpp" 2>/dev/null || find "$folder" -name '*.h' -o -name '*.cpp')
done
[ $failed = 0 ] && echo "layers: every include is allowed"
exit $failed
