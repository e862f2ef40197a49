#!/usr/bin/env bash
# v4l2-ctl, a V4L2 client written elsewhere, on the fake camera. ctest
# preloads the library for the whole script, so bash, ls, grep and the rest
# run with it too and must not notice it.
#
# Expects FAKEUVC_CARD=vexa4.0 and FAKEUVC_FORMAT="MJPG 4000x3000".
set -euo pipefail

node="${FAKEUVC_NODE:-/dev/video0}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# expect FILE REGEX WHAT: FILE has a line matching REGEX, or the test fails
# saying WHAT went wrong and showing FILE.
expect() {
  if ! grep -Eq -- "$2" "$1"; then
    cat "$1" >&2
    fail "$3"
  fi
}

ls -l "$(dirname "$node")" >"$work/ls"
expect "$work/ls" "^c.* 81, +[0-9]+ .* $(basename "$node")\$" "ls does not list the node as a V4L2 character device"

v4l2-ctl -d "$node" --all >"$work/all"
expect "$work/all" "Driver name +: uvcvideo\$" "--all: wrong driver"
expect "$work/all" "Card type +: vexa4.0\$" "--all: wrong card"
expect "$work/all" "Width/Height +: 4000/3000\$" "--all: not the FAKEUVC_FORMAT size"
expect "$work/all" "Pixel Format +: 'MJPG'" "--all: not the FAKEUVC_FORMAT pixel format"
expect "$work/all" "Frames per second: 30.000" "--all: wrong frame rate"

v4l2-ctl -d "$node" --list-formats-ext >"$work/formats"
expect "$work/formats" "'MJPG' \(Motion-JPEG, compressed\)" "--list-formats-ext: no MJPG"
expect "$work/formats" "'YUYV' \(YUYV 4:2:2\)" "--list-formats-ext: no YUYV"
expect "$work/formats" "Size: Discrete 3264x2448" "--list-formats-ext: a size is missing"
[ "$(grep -c 'Size: Discrete' "$work/formats")" -eq 8 ] || fail "--list-formats-ext: not 6 MJPG and 2 YUYV sizes"

v4l2-ctl -d "$node" --list-ctrls-menus >"$work/controls"
for control in brightness contrast gain white_balance_automatic auto_exposure exposure_time_absolute; do
  expect "$work/controls" "^ *$control 0x" "--list-ctrls-menus: no $control"
done
expect "$work/controls" "auto_exposure .*\(menu\).*default=3" "--list-ctrls-menus: auto_exposure is not a menu"
expect "$work/controls" "1: Manual Mode" "--list-ctrls-menus: no manual exposure item"
expect "$work/controls" "exposure_time_absolute .*flags=inactive" "the exposure time is not inactive in auto mode"

# Each v4l2-ctl is a process of its own with a camera of its own, so a value
# is set and read back in one run. Out of range values are clamped.
v4l2-ctl -d "$node" -c brightness=20,gain=500 -C brightness,gain >"$work/set"
expect "$work/set" "^brightness: 20\$" "brightness does not read back as set"
expect "$work/set" "^gain: 100\$" "gain is not clamped to its maximum"
v4l2-ctl -d "$node" -c auto_exposure=1,exposure_time_absolute=500 -C exposure_time_absolute >"$work/exposure"
expect "$work/exposure" "^exposure_time_absolute: 500\$" "the exposure time does not set in manual mode"

# Capture: five Motion-JPEG frames, each a JPEG whose comment names its frame.
v4l2-ctl -d "$node" --set-fmt-video=width=1280,height=720,pixelformat=MJPG \
  --stream-mmap --stream-count=5 --stream-to="$work/frames.mjpg" 2>"$work/stream.log"
[ "$(grep -a -o 'fakeuvc frame [0-9]*' "$work/frames.mjpg" | wc -l)" -eq 5 ] || fail "not five MJPG frames"
# And five YUYV frames waited for with select, each exactly 640x480x2 bytes.
v4l2-ctl -d "$node" --set-fmt-video=width=640,height=480,pixelformat=YUYV \
  --stream-mmap --stream-poll --stream-count=5 --stream-to="$work/frames.yuyv" 2>"$work/stream.log"
[ "$(stat -c %s "$work/frames.yuyv")" -eq $((5 * 640 * 480 * 2)) ] || fail "not five whole YUYV frames"

echo "PASS: v4l2-ctl lists, queries, sets and streams the fake camera"
