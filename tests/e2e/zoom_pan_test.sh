#!/usr/bin/env bash
# End to end, the real binary on a virtual X server: with circle 1 on, a
# wheel step over the video window shows the middle half of the picture (the
# circle twice as large) and a drag with the left button moves it.
#
# Usage: zoom_pan_test.sh <path to varnix>
set -euo pipefail

binary="$(realpath "$1")"
here="$(cd "$(dirname "$0")" && pwd)"

source "$here/e2e_lib.sh"

start_and_open_camera '300 4 600 4 900 4 100 1 0 0 0'
# From close camera, circle 1's check box is 8 tab stops on.
keys "$main" Tab Tab Tab Tab Tab Tab Tab Tab space
sleep 1

# Width, height, left and top of the green pixels in a fresh screenshot.
green_box() {
  import -window "$video" shot.png
  convert shot.png -fill black +opaque '#00FF00' -trim -format '%w %h %X %Y\n' info: | tr -d '+'
}

read -r w1 h1 x1 y1 < <(green_box)
[ "$w1" -gt 20 ] || fail "circle 1 not visible before zooming (green box $w1 x $h1)"

# Wheel away from the user over the middle of the video window: one step in.
eval "$(xdotool getwindowgeometry --shell "$video")"
xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
xdotool click 4
sleep 1
read -r w2 h2 x2 y2 < <(green_box)
# Twice the size, less what the scroll bars now take from the picture.
awk -v a="$w1" -v b="$w2" 'BEGIN { r = b / a; exit !(r > 1.8 && r < 2.2) }' ||
  fail "after a wheel step the circle is $w2 wide, was $w1: expected about twice"

# Drag 100 pixels left and 50 up: the view centre moves by that many frame
# pixels, so the circle moves left and up by as many frame pixels, scaled to
# the screen by what its 600 frame pixels span there.
xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
xdotool mousedown 1
xdotool mousemove --sync $((X + WIDTH / 2 - 100)) $((Y + HEIGHT / 2 - 50))
xdotool mouseup 1
sleep 1
read -r w3 h3 x3 y3 < <(green_box)
# The circle (600 frame pixels across) spans w2 screen pixels.
awk -v dx=$((x2 - x3)) -v dy=$((y2 - y3)) -v w="$w2" 'BEGIN {
  ex = 100 * w / 600; ey = 50 * w / 600
  exit !(dx > ex - 4 && dx < ex + 4 && dy > ey - 4 && dy < ey + 4) }' ||
  fail "the drag moved the circle by ($((x2 - x3)), $((y2 - y3))) screen pixels"
[ $((w3 - w2)) -ge -2 ] && [ $((w3 - w2)) -le 2 ] || fail "the drag changed the zoom: box $w2 x $h2 at ($x2, $y2) became $w3 x $h3 at ($x3, $y3)"

keys "$main" Escape
expect_exit 0
echo "PASS: wheel step doubled the circle ($w1 -> $w2), the drag moved it by ($((x2 - x3)), $((y2 - y3)))"
