#!/usr/bin/env bash
# End to end, the real binary on a virtual X server with a simulated camera
# that shows a black still image: open the camera and tick the three circle
# check boxes from the keyboard, check that a screenshot of the video window
# shows each circle in its colour where the parameter files put it, save,
# close the camera, close the program, exit code 0.
#
# Usage: capture_run_test.sh <path to varnix>
set -euo pipefail

binary="$(realpath "$1")"
here="$(cd "$(dirname "$0")" && pwd)"

source "$here/e2e_lib.sh"

# Circle 1 green r 300, circle 2 red r 600, circle 3 blue r 900, all thickness 4,
# one value a line: the save writes them back on one line.
start_and_open_camera '300\n4\n600\n4\n900\n4\n100\n1\n0\n0\n0\n'
xdotool windowfocus --sync "$main"
# Opening moved the focus on to close camera. From there, in tab order:
# circle 2's check box 5 stops on, circle 1's 3 further, circle 3's 10 further.
keys "$main" Tab Tab Tab Tab Tab space Tab Tab Tab space Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab space
sleep 1.5

import -window "$video" shot.png
read -r width height < <(identify -format '%w %h\n' shot.png)
# The picture control is the largest 16:9 rectangle centred in the window.
read -r left top pw ph < <(awk -v w="$width" -v h="$height" 'BEGIN {
  r = 16 / 9
  if (w / h > r) { m = int((w - h * r) / 2); print m, 0, w - 2 * m, h }
  else { m = int((h - w / r) / 2); print 0, m, w, h - 2 * m } }')

# True when some pixel within 3 of the frame point (x, y) has the colour.
shows() {
  local fx="$1" fy="$2" want="$3"
  local cx=$((left + fx * pw / 3840)) cy=$((top + fy * ph / 2160))
  convert shot.png -crop "7x7+$((cx - 3))+$((cy - 3))" txt:- | grep -q "$want"
}
black_at() {
  local cx=$((left + $1 * pw / 3840)) cy=$((top + $2 * ph / 2160))
  convert shot.png -crop "1x1+$cx+$cy" txt:- | grep -q '#000000'
}
shows 2220 1080 '#00FF00' || fail "circle 1 (green, radius 300) is not where the files put it"
shows 1920 480 '#FF0000' || fail "circle 2 (red, radius 600) is not where the files put it"
shows 1020 1080 '#0000FF' || fail "circle 3 (blue, radius 900) is not where the files put it"
black_at 1920 1080 || fail "the centre should be dark: the crosshair is off"
black_at 2070 1080 || fail "between the centre and circle 1 should be dark"

# Circle 3's check box to the save button: 15 tab stops.
keys "$main" Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab space
wait_for 10 grep -qx '300 4 600 4 900 4 100 1 0 0 0' config4k.txt || fail "save did not write the 11 values: $(cat config4k.txt)"

# Save button to close camera: close program, open camera (disabled, skipped), close camera.
keys "$main" Tab Tab space
wait_for 10 bash -c "! xdotool search --onlyvisible --name '^Camera\$'" || fail "the video window stayed after close camera"

keys "$main" Escape
expect_exit 0
echo "PASS: circles drawn where the files say, saved, closed, exit code 0"
