#!/bin/bash
# Installs the Debian packages that building, running or testing needs, when
# they are missing. Usage: scripts/deps.sh build|run|test, or
# scripts/deps.sh packages NAME... for a script's own list; a NAME that is a
# path to a .deb file is installed (with what it depends on) every time.
set -euo pipefail

what="${1:-build}"

# libespeak-ng-dev and espeak-ng-data: the speech engine and its Russian voice.
# (test) lintian: the package test checks the .deb with it.
# For the tests: the MinGW compilers, Debian's Qt host tools (moc, uic, rcc)
# and NSIS (makensis) build the Windows program, its tests and its installer.
build_pkgs=(cmake ninja-build g++ pkg-config qt6-base-dev libpulse-dev
  libespeak-ng-dev espeak-ng-data
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  fonts-liberation fonts-dejavu-core qt6-translations-l10n)
# pulseaudio, pulseaudio-utils and sox: run.sh's look starts a private sound
# server with a virtual input when none answers, and plays a burst into it.
run_pkgs=(xvfb xdotool x11-utils imagemagick python3 python3-xlib
  pulseaudio pulseaudio-utils sox)
test_pkgs=(pulseaudio pulseaudio-utils sox xvfb xdotool x11-utils imagemagick
  python3 python3-xlib g++-mingw-w64-x86-64 wine64 dpkg-dev file appstream
  desktop-file-utils lintian
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 qt6-base-dev-tools nsis locales)

pkgs=("${build_pkgs[@]}")
case "$what" in
  build) ;;
  run) pkgs+=("${run_pkgs[@]}") ;;
  test) pkgs+=("${test_pkgs[@]}") ;;
  packages) shift; pkgs=("$@") ;;
  *) echo "usage: $0 build|run|test|packages NAME..." >&2; exit 2 ;;
esac

missing=()
from_archive=0  # whether a missing package comes from the archive (needs fresh lists)
for p in "${pkgs[@]}"; do
  if [[ "$p" == */*.deb ]]; then
    [ -f "$p" ] || { echo "no package file $p" >&2; exit 1; }
    missing+=("$p")
  elif ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
    from_archive=1
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
[ $from_archive = 0 ] || $sudo apt-get update -qq </dev/null
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" </dev/null
