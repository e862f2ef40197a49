#!/usr/bin/env bash
# End to end under a real window manager (openbox) on a virtual X server:
# the main dialog is a main window (normal type, owned by no other window,
# with the program's icon) whose WM_CLASS matches the launcher entry's
# StartupWMClass; the outer frames are placed and sized as the program asks,
# the main dialog's right edge 100 pixels left of the screen's right edge and
# its top at 100, the video window 900 x 740 at (100, 100); Alt+F4 on the
# video window closes the camera and leaves the program running; Esc ends it
# with exit code 0.
#
# Usage: window_manager_test.sh <path to varnix>
set -euo pipefail

binary="$(realpath "$1")"
here="$(cd "$(dirname "$0")" && pwd)"

source "$here/e2e_lib.sh"

command -v openbox >/dev/null || fail "openbox is not installed (scripts/install-deps installs it)"
HOME="$workdir" openbox --sm-disable >/dev/null 2>&1 &
wm_pid=$!
trap 'kill "$wm_pid" 2>/dev/null || true; cleanup' EXIT
wait_for 20 bash -c "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'" || fail "openbox did not start"

# "x y width height" of a window's outer frame: its own place and size plus
# the frame the window manager reports around it.
outer_frame() {
  local id="$1" x y w h left right top bottom
  read -r left right top bottom < <(xprop -id "$id" _NET_FRAME_EXTENTS | sed -n 's/.* = //p' | tr -d ',')
  [ -n "${bottom:-}" ] || return 1
  eval "$(xwininfo -id "$id" | awk '/Absolute upper-left X/ {print "x=" $NF} /Absolute upper-left Y/ {print "y=" $NF}
                                     /^ +Width:/ {print "w=" $NF} /^ +Height:/ {print "h=" $NF}')"
  echo "$((x - left)) $((y - top)) $((w + left + right)) $((h + top + bottom))"
}
frame_is() {
  [ "$(outer_frame "$1")" = "$2" ]
}

start_and_open_camera '150 1 100 1 50 1 100 1 0 0 0'

wm_class="$(xprop -id "$main" WM_CLASS | sed -n 's/.* = "\(.*\)", "\(.*\)"/\2/p')"
startup_class="$(sed -n 's/^StartupWMClass=//p' "$here/../../res/"*.desktop)"
[ -n "$startup_class" ] && [ "$wm_class" = "$startup_class" ] ||
  fail "WM_CLASS class \"$wm_class\" is not the launcher's StartupWMClass \"$startup_class\""
xprop -id "$main" WM_TRANSIENT_FOR | grep -q 'not found' || fail "the main dialog is owned: $(xprop -id "$main" WM_TRANSIENT_FOR)"
[ "$(xprop -id "$main" _NET_WM_WINDOW_TYPE)" = "_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_NORMAL" ] ||
  fail "the main dialog is not a normal window: $(xprop -id "$main" _NET_WM_WINDOW_TYPE)"
xprop -id "$main" _NET_WM_STATE | grep -q SKIP_TASKBAR && fail "the main dialog keeps out of the task bar"
xprop -id "$main" _NET_WM_ICON | grep -q 'CARDINAL' || fail "the main dialog has no icon"

screen_width="$(xwininfo -root | awk '/^ +Width:/ {print $NF}')"
main_placed() {
  local x y w
  read -r x y w _ < <(outer_frame "$main") || return 1
  [ $((x + w)) -eq $((screen_width - 100)) ] && [ "$y" -eq 100 ]
}
wait_for 10 main_placed ||
  fail "main dialog's outer frame is $(outer_frame "$main"), its right edge should stand at $((screen_width - 100)), its top at 100"
wait_for 10 frame_is "$video" "100 100 900 740" ||
  fail "video window's outer frame is $(outer_frame "$video"), expected 100 100 900 740"

# The window manager's close of the video window is close camera.
xdotool windowactivate --sync "$video"
xdotool key --clearmodifiers alt+F4
wait_for 10 bash -c "! xdotool search --onlyvisible --name '^Camera\$'" || fail "Alt+F4 left the video window up"
kill -0 "$pid" || fail "Alt+F4 on the video window ended the program"
xdotool search --onlyvisible --name '^VEXA$' >/dev/null || fail "the main dialog went with the video window"

xdotool windowactivate --sync "$main"
xdotool key --clearmodifiers Escape
expect_exit 0
echo "PASS: main window for the task bar, frames placed, Alt+F4 closed the camera, exit code 0"
