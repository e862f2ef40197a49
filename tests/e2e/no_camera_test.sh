#!/usr/bin/env bash
# End to end, the real binary on a virtual X server: without a camera the
# program shows its no-hardware box before its main dialog ever appears,
# Enter dismisses the box and the program exits with code 0.
#
# Usage: no_camera_test.sh <path to varnix>
set -euo pipefail

binary="$(realpath "$1")"
source "$(cd "$(dirname "$0")" && pwd)/e2e_lib.sh"

cd "$workdir"
"$binary" &
pid=$!

wait_for 30 xdotool search --onlyvisible --name '^异常$' || fail "no message box appeared"
if xdotool search --onlyvisible --name '^VEXA$' >/dev/null 2>&1; then
  fail "the main dialog is visible while the message box is up"
fi

box="$(xdotool search --onlyvisible --name '^异常$' | head -n 1)"
xdotool windowfocus --sync "$box"
xdotool key --clearmodifiers Return

expect_exit 0
echo "PASS: message box first, Enter dismissed it, exit code 0"
