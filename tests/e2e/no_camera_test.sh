#!/usr/bin/env bash
# End to end, the real binary on a virtual X server: without a camera the
# program shows its no-hardware box before its main dialog ever appears,
# Enter dismisses the box and the program exits with code 0.
#
# Usage: no_camera_test.sh <path to varnix>
set -euo pipefail

binary="$(realpath "$1")"

# Re-run under a private X server unless we are already on one of our own.
if [ -z "${VARNIX_E2E_INSIDE_XVFB:-}" ]; then
  export VARNIX_E2E_INSIDE_XVFB=1
  exec xvfb-run -a -s "-screen 0 1920x1080x24" bash "$0" "$binary"
fi

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
  local seconds="$1"
  shift
  local deadline=$((SECONDS + seconds))
  until "$@" >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}

workdir="$(mktemp -d)"
pid=""
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid" 2>/dev/null || true; fi
  rm -rf "$workdir"
}
trap cleanup EXIT

cd "$workdir"
unset QT_QPA_PLATFORM
"$binary" &
pid=$!

wait_for 30 xdotool search --onlyvisible --name '^异常$' || fail "no message box appeared"
if xdotool search --onlyvisible --name '^VEXA$' >/dev/null 2>&1; then
  fail "the main dialog is visible while the message box is up"
fi

box="$(xdotool search --onlyvisible --name '^异常$' | head -n 1)"
xdotool windowfocus --sync "$box"
xdotool key --clearmodifiers Return

wait_for 20 bash -c "! kill -0 $pid" || fail "the program did not end after the box was dismissed"
status=0
wait "$pid" || status=$?
pid=""
[ "$status" -eq 0 ] || fail "exit code $status, expected 0"
echo "PASS: message box first, Enter dismissed it, exit code 0"
