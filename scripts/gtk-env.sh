# shellcheck shell=bash
# Sourced by the scripts that drive the Linux window: a virtual display of
# its own with a window manager (the window's caption and close box are
# the window manager's), and a session bus with the accessibility bus, so
# the window's controls can be found and read as a screen reader would.

# Runs "$@" on a new Xvfb with openbox, inside dbus-run-session; the
# display, the window manager and the bus end with it.
gtk_session() {
  local numfile status=0 xpid
  numfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numfile" 2>/dev/null &
  xpid=$!
  for _ in $(seq 100); do
    [ -s "$numfile" ] && break
    kill -0 "$xpid" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$numfile" ]; then
    rm -f "$numfile"
    echo "Xvfb did not start" >&2
    return 1
  fi
  local display=:$(head -n 1 "$numfile")
  rm -f "$numfile"
  # a desktop's settings daemon is not there: GTK takes its own defaults
  DISPLAY=$display NO_AT_BRIDGE= GTK_THEME=Adwaita dbus-run-session -- bash -c '
    openbox >/dev/null 2>&1 &
    wm=$!
    for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done
    "$@"; status=$?
    kill $wm 2>/dev/null
    exit $status' gtk_session "$@" || status=$?
  kill "$xpid" 2>/dev/null || true
  wait "$xpid" 2>/dev/null || true
  return "$status"
}
