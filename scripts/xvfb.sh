# Sourced by scripts that need a display: start_xvfb WIDTHxHEIGHT starts a
# private Xvfb on a display it picks itself (its number comes back on
# fd 3), exports DISPLAY, waits until the server answers and leaves the
# server's process id in XVFB_PID. The caller stops it.
start_xvfb() {
  local display_file
  display_file="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
  if [ ! -s "$display_file" ]; then
    rm -f "$display_file"
    kill "$XVFB_PID" 2>/dev/null || true
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$(head -n1 "$display_file")"
  rm -f "$display_file"
  command -v xdpyinfo >/dev/null || return 0
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
}
