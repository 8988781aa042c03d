# shellcheck shell=bash
# Sourced by the scripts that drive the Linux window: a virtual display of
# its own with a window manager (the window's caption and close box are
# the window manager's), and a session bus with the accessibility bus, so
# the window's controls can be found and read as a screen reader would.
# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# Runs "$@" on a new Xvfb with openbox, inside dbus-run-session; the
# display, the window manager and the bus end with it.
gtk_session() {
  local status=0 xpid display
  unset NO_AT_BRIDGE
  xvfb_launch 1024x768x24 || return 1
  xpid=$xvfb_pid display=$xvfb_display
  # a desktop's settings daemon is not there: GTK takes its own defaults
  # shellcheck disable=SC2016 # the inner script's own variables
  DISPLAY=$display GTK_THEME=Adwaita dbus-run-session -- bash -c '
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
