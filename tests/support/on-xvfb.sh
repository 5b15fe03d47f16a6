#!/bin/bash
# Runs a test program on the X platform under a private Xvfb of its own:
#   on-xvfb.sh PROGRAM [ARGUMENTS...]
set -u
. "$(dirname "$0")/../../scripts/xvfb.sh"
start_xvfb 1920x1080 || exit 1
trap 'kill "$XVFB_PID" 2>/dev/null' EXIT
QT_QPA_PLATFORM=xcb "$@"
