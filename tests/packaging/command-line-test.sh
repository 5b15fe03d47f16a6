#!/bin/bash
# quillora --help and --version answer on standard output and end with 0
# without a display and without opening a window: Qt is told to use X11 and
# no X server is named, so a program that started its windows would fail.
# Russian for a Russian messages locale, English otherwise.
# Usage: command-line-test.sh QUILLORA_EXE VERSION
set -u
exe="$1"
version="$2"
status=0

run() { # env assignments..., then the option
  local opt="${*: -1}"
  env -i PATH=/usr/bin:/bin QT_QPA_PLATFORM=xcb "${@:1:$#-1}" timeout 20 "$exe" "$opt"
}
check() { # description, expected text, env..., option
  local what="$1" want="$2"
  shift 2
  local out rc
  out=$(run "$@" 2>&1)
  rc=$?
  if [ $rc -ne 0 ] || ! grep -qF -- "$want" <<<"$out"; then
    echo "FAILED: $what: exit $rc, no \"$want\" in:" >&2
    echo "$out" >&2
    status=1
  fi
}

check "--version" "Quillora $version" LANG=C --version
check "--version, licence" "GPL-3.0-or-later" --version
check "-v, English for en_US" "There is NO WARRANTY" LANG=en_US.UTF-8 -v
check "--version, Russian" "Лицензия: GNU GPL версии 3" LANG=ru_RU.UTF-8 --version
check "LC_ALL decides before LANG" "Licence:" LC_ALL=C LANG=ru_RU.UTF-8 --version
check "--help" "-v, --version" --help
check "-h, Russian" "показать версию и лицензию" LC_MESSAGES=ru_RU.UTF-8 -h
first=$(run LANG=C --version | head -n1)
[ "$first" = "Quillora $version" ] || { echo "FAILED: first line \"$first\"" >&2; status=1; }
[ $status -eq 0 ] && echo "command line: passed"
exit $status
