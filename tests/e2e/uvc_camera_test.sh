#!/usr/bin/env bash
# End to end on the user-space camera: the real binary, no simulation option,
# libfakeuvc.so preloaded so it finds a camera that answers like uvcvideo.
# For a "vexa4.0" left at motion JPEG 4000 x 3000 (its profile sends nothing)
# and a "vexa3.5" left at YUYV 640 x 480 (its profile asks for motion JPEG
# 3840 x 2160): open from the keyboard, tick the circles, check on a
# screenshot that each circle is where focus.txt puts it in a frame of the
# expected size, check what the program asked the camera for, close, exit 0.
#
# Usage: uvc_camera_test.sh <path to varnix> <path to libfakeuvc.so>
set -euo pipefail

binary="$(realpath "$1")"
# Kept in the environment: the shared start-up runs this script again under
# its own X server with the binary alone.
export VARNIX_E2E_FAKEUVC="${VARNIX_E2E_FAKEUVC:-$(realpath "$2")}"
library="$VARNIX_E2E_FAKEUVC"
here="$(cd "$(dirname "$0")" && pwd)"

source "$here/e2e_lib.sh"

# One run: card, the camera's format before opening, the frame size the loop
# should get, the picture's aspect ratio, the formats the program should set.
run_camera() {
  local card="$1" device_format="$2" fw="$3" fh="$4" ratio="$5" expected_set="$6"
  cd "$workdir"
  rm -f device.log
  printf '%d %d\n' $((fw / 2)) $((fh / 2)) > focus.txt
  # Circle radii as a fraction of the frame height: 1/10, 2/10, 3/10.
  printf '%d 4 %d 4 %d 4 100 1 0 0 0\n' $((fh / 10)) $((fh / 5)) $((fh * 3 / 10)) > config4k.txt
  # A sanitizer build would refuse to start with another library loaded first.
  program_env=(LD_PRELOAD="$library" FAKEUVC_CARD="$card" FAKEUVC_FORMAT="$device_format"
    FAKEUVC_LOG="$workdir/device.log" ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0")
  start_program_and_open_camera
  xdotool windowfocus --sync "$main"
  keys "$main" Tab Tab Tab Tab Tab space Tab Tab Tab space Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab space
  sleep 2

  import -window "$video" shot.png
  local width height left top pw ph
  read -r width height < <(identify -format '%w %h\n' shot.png)
  read -r left top pw ph < <(awk -v w="$width" -v h="$height" -v r="$ratio" 'BEGIN {
    if (w / h > r) { m = int((w - h * r) / 2); print m, 0, w - 2 * m, h }
    else { m = int((h - w / r) / 2); print 0, m, w, h - 2 * m } }')
  # True when some pixel within 4 of the frame point (x, y) is clearly of
  # the colour channel $3 (1 red, 2 green, 3 blue): the circles are thin at
  # this scale, so their pixels are blended with the camera's grey picture.
  shows() {
    local cx=$((left + $1 * pw / fw)) cy=$((top + $2 * ph / fh))
    convert shot.png -crop "9x9+$((cx - 4))+$((cy - 4))" txt:- |
      sed -En 's/^[0-9]+,[0-9]+: \(([0-9]+),([0-9]+),([0-9]+).*/\1,\2,\3/p' |
      awk -F, -v c="$3" '{ high = $c; low = 0; for (i = 1; i <= 3; i++) if (i != c && $i > low) low = $i
                           if (high >= 180 && low <= 70) found = 1 } END { exit !found }'
  }
  # Circle 1 green to the right, circle 2 red above, circle 3 blue to the left.
  shows $((fw / 2 + fh / 10)) $((fh / 2)) 2 || fail "$card: circle 1 is not where the files put it in a ${fw}x${fh} frame"
  shows $((fw / 2)) $((fh / 2 - fh / 5)) 1 || fail "$card: circle 2 is not where the files put it in a ${fw}x${fh} frame"
  shows $((fw / 2 - fh * 3 / 10)) $((fh / 2)) 3 || fail "$card: circle 3 is not where the files put it in a ${fw}x${fh} frame"
  # And nothing of the kind where no circle runs: halfway between 1 and 2.
  ! shows $((fw / 2 + fh * 3 / 20)) $((fh / 2)) 2 || fail "$card: green where no circle should be"

  local set_formats
  set_formats="$(grep '^s_fmt ' device.log | sed 's/^s_fmt //' | paste -sd, - || true)"
  [ "$set_formats" = "$expected_set" ] || fail "$card: the program set '$set_formats', expected '$expected_set'"

  # From circle 3's check box: 15 tab stops to save, then close program, open
  # camera (disabled, skipped) and close camera.
  keys "$main" Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab space
  wait_for 10 bash -c "! xdotool search --onlyvisible --name '^Camera\$'" || fail "$card: the video window stayed after close camera"
  keys "$main" Escape
  expect_exit 0
  echo "ok: $card at $device_format shows a ${fw}x${fh} frame with the overlay in place"
}

run_camera vexa4.0 "MJPG 4000x3000" 4000 3000 1.3333334 ""
run_camera vexa3.5 "YUYV 640x480" 3840 2160 1.7777778 "MJPG 3840x2160"
echo "PASS: both cameras stream in the expected format with the overlay where focus.txt puts it"
