#!/usr/bin/env bash
# Runs a command on a private X display (Xvfb) with a real window manager
# (openbox), so that tests of focus, placement and windows in front see what a
# desktop does; the offscreen platform has no window manager at all.
#   scripts/with-window-manager.sh COMMAND [ARGS...]
# Exit status: the command's, or 77 (skipped) when Xvfb or openbox is missing.
set -u

for tool in Xvfb openbox xprop; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIPPED: $tool is not installed; window-manager tests need xvfb, openbox and x11-utils (scripts/setup.sh installs them)."
    exit 77
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/sorabel-wm.XXXXXX")
xvfb_pid=""
wm_pid=""
cleanup() {
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Xvfb picks a free display itself and writes its number to descriptor 3.
# Many of these run side by side, so a display that is taken or torn down
# under us is tried again on another one.
start_display() {
  : >"$work/display"
  Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.05
  done
  [ -s "$work/display" ] || return 1
  export DISPLAY=":$(head -n1 "$work/display")"
  # An empty configuration file makes openbox put up an error window of its
  # own, which would take the focus from the windows under test.
  printf '<?xml version="1.0"?>\n<openbox_config xmlns="http://openbox.org/3.4/rc"/>\n' >"$work/rc.xml"
  openbox --sm-disable --config-file "$work/rc.xml" >"$work/openbox.log" 2>&1 &
  wm_pid=$!
  # The window manager is ready once it has announced itself on the root window.
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && return 0
    kill -0 "$wm_pid" 2>/dev/null || return 1
    sleep 0.05
  done
  return 1
}

started=""
for attempt in 1 2 3; do
  if start_display; then started=yes; break; fi
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  wm_pid=""; xvfb_pid=""
  sleep 0.$attempt
done
if [ -z "$started" ]; then
  echo "Xvfb with openbox did not start:" >&2
  cat "$work/xvfb.log" "$work/openbox.log" >&2 2>/dev/null
  exit 1
fi

QT_QPA_PLATFORM=xcb "$@"
