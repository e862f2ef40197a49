#!/usr/bin/env bash
# End to end, the real binary on a virtual X server: during a capture run,
# Enter in a number field leaves the main dialog up and working (a value
# typed there is then saved) and Esc in the video window leaves it up; close
# camera, Esc, exit code 0.
#
# Usage: keys_during_capture_test.sh <path to varnix>
set -euo pipefail

binary="$(realpath "$1")"
here="$(cd "$(dirname "$0")" && pwd)"

source "$here/e2e_lib.sh"

start_and_open_camera '150 1 100 1 50 1 100 1 0 0 0'
# From close camera, circle 2's radius field is 7 tab stops on.
keys "$main" Tab Tab Tab Tab Tab Tab Tab ctrl+a 2 5 0 Return
# Events are handled in order: once the save below has written the file, the
# Enter before it has been handled too.
# From circle 2's radius field, the save button is 26 tab stops on.
keys "$main" $(printf 'Tab %.0s' $(seq 26)) space
wait_for 10 grep -qx '150 1 250 1 50 1 100 1 0 0 0' config4k.txt ||
  fail "the typed radius was not saved: $(cat config4k.txt)"
xdotool search --onlyvisible --name '^VEXA$' >/dev/null || fail "Enter in a number field hid the main dialog"

keys "$video" Escape
# Again a save after it to know the Esc has been handled.
rm config4k.txt
keys "$main" space
wait_for 10 test -s config4k.txt || fail "the second save did not write the file"
xdotool search --onlyvisible --name '^Camera$' >/dev/null || fail "Esc hid the video window"

# Save button to close camera: close program, open camera (disabled, skipped), close camera.
keys "$main" Tab Tab space
wait_for 10 bash -c "! xdotool search --onlyvisible --name '^Camera\$'" || fail "the video window stayed after close camera"
keys "$main" Escape
expect_exit 0
echo "PASS: Enter and Esc left both windows up during the run; closed, exit code 0"
