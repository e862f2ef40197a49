#!/usr/bin/env bash
# End to end, the real binary on a virtual X server with a simulated camera
# showing a still picture with a bright disc at a known place: key M in the
# video window shows the measurement box, Ctrl+S there writes the full frame
# with the overlay drawn in as PNG under snapshots/, and beside it the JSON
# record whose spot lies within half a pixel of the disc's centre.
#
# Usage: measure_snapshot_test.sh <path to varnix>
set -euo pipefail

binary="$(realpath "$1")"
here="$(cd "$(dirname "$0")" && pwd)"

source "$here/e2e_lib.sh"

cd "$workdir"
disc_x=2345
disc_y=876
convert -size 3840x2160 xc:black -fill white -draw "circle $disc_x,$disc_y $disc_x,$((disc_y + 30))" disc.png
printf '1920 1080\n' > focus.txt
printf '300 4 600 4 900 4 100 1 0 0 0\n' > config4k.txt
start_program_and_open_camera --simulate-camera vexa3.5 --simulate-source disc.png
# From close camera, circle 1's check box is 8 tab stops on.
keys "$main" Tab Tab Tab Tab Tab Tab Tab Tab space
sleep 1

# Lit pixels in the top-left corner of the picture (a 16:9 control centred
# in the window): the picture is black there, so only the box's text lights it.
lit_in_corner() {
  import -window "$video" shot.png
  read -r width height < <(identify -format '%w %h\n' shot.png)
  read -r left top < <(awk -v w="$width" -v h="$height" 'BEGIN {
    r = 16 / 9
    if (w / h > r) print int((w - h * r) / 2), 0; else print 0, int((h - w / r) / 2) }')
  convert shot.png -crop "320x120+$left+$top" +repage -colorspace gray -threshold 50% -format '%[fx:int(mean*w*h)]' info:
}

before="$(lit_in_corner)"
keys "$video" m
sleep 1
after="$(lit_in_corner)"
[ "$after" -gt $((before + 50)) ] || fail "key M showed no measurement box ($before lit pixels before, $after after)"

keys "$video" ctrl+s
wait_for 20 bash -c 'ls snapshots/varnix-*.json' || fail "no snapshot appeared under snapshots/"
picture="$(ls snapshots/varnix-*.png)"
record="$(ls snapshots/varnix-*.json)"
[[ "$(basename "$picture")" =~ ^varnix-[0-9]{8}-[0-9]{6}-[0-9]{3}\.png$ ]] || fail "unexpected name $picture"
[ "${record%.json}" = "${picture%.png}" ] || fail "the record $record is not beside the picture $picture"

# The full frame, with circle 1 (green, radius 300 around the centre) drawn in.
[ "$(identify -format '%w %h' "$picture")" = "3840 2160" ] || fail "the snapshot is not the full frame"
convert "$picture" -crop "5x5+2218+1078" txt:- | grep -q '#00FF00' || fail "the snapshot lacks the overlay's circle"
convert "$picture" -crop "1x1+$disc_x+$disc_y" txt:- | grep -q '#FFFFFF' || fail "the snapshot lacks the disc"

python3 - "$record" "$disc_x" "$disc_y" <<'PY' || fail "the record's spot is not the disc: $(cat "$record")"
import json, sys
record = json.load(open(sys.argv[1]))
spot = record["spot"]
assert abs(spot["x"] - float(sys.argv[2])) < 0.5 and abs(spot["y"] - float(sys.argv[3])) < 0.5, spot
assert record["camera"] == "vexa3.5" and record["frame"] == {"width": 3840, "height": 2160}
assert record["overlay"]["circle1"]["enabled"] is True
PY

keys "$main" Escape
expect_exit 0
echo "PASS: measurement box shown, snapshot $picture with the overlay, spot $(python3 -c "import json; s=json.load(open('$record'))['spot']; print(round(s['x'], 3), round(s['y'], 3))")"
