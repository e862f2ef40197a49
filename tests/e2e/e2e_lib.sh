# Shared by the end-to-end scripts, sourced first thing with $binary set:
# re-runs the sourcing script under a private X server unless it already is
# on one of its own, then sets $workdir (removed at exit) and uses $pid.

if [ -z "${VARNIX_E2E_INSIDE_XVFB:-}" ]; then
  export VARNIX_E2E_INSIDE_XVFB=1
  exec xvfb-run -a -s "-screen 0 1920x1080x24" bash "$0" "$binary"
fi
unset QT_QPA_PLATFORM

fail() {
  echo "FAIL: $*" >&2
  [ -f "$workdir/shot.png" ] && cp "$workdir/shot.png" "${TMPDIR:-/tmp}/varnix-e2e-failure.png" && echo "screenshot kept in ${TMPDIR:-/tmp}/varnix-e2e-failure.png" >&2
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

# Prints the id of the visible window whose title matches $1, waiting for it.
wait_for_window() {
  wait_for 30 xdotool search --onlyvisible --name "$1" || return 1
  xdotool search --onlyvisible --name "$1" | head -n 1
}

# Sends the keys after $1 to that window, one at a time.
keys() {
  local window="$1"
  shift
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  for key in "$@"; do
    xdotool key --clearmodifiers "$key"
    sleep 0.08
  done
}

# Waits for the program to end and checks its exit code is $1.
expect_exit() {
  wait_for 20 bash -c "! kill -0 $pid" || fail "the program did not end"
  local status=0
  wait "$pid" || status=$?
  pid=""
  [ "$status" -eq "$1" ] || fail "exit code $status, expected $1"
}

workdir="$(mktemp -d)"
pid=""
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid" 2>/dev/null || true; fi
  rm -rf "$workdir"
}
trap cleanup EXIT
