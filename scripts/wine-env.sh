# Sourced by the build and test scripts: the Wine environment, a private Xvfb
# display and a persistent wineserver, all stopped again when the script exits.
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-quorlix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}"
export WINELOADER=/usr/lib/wine/wine64

quorlix_xvfb_pid=
quorlix_stop_wine() {
  /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  if [ -n "$quorlix_xvfb_pid" ]; then kill "$quorlix_xvfb_pid" 2>/dev/null || true; fi
}

quorlix_start_wine() {
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  quorlix_xvfb_pid=$!
  export DISPLAY=":$n"
  trap quorlix_stop_wine EXIT
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  # One persistent wineserver for the whole run: a server started by each
  # test program would cost seconds per program.
  /usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1
  /usr/lib/wine/wine64 wineboot </dev/null >/dev/null 2>&1 || true
}
