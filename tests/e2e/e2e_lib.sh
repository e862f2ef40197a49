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

# Starts the program in $workdir with a simulated "vexa3.5" camera showing a
# black 3840 x 2160 still, the optical centre in the middle and config4k.txt
# holding $1; opens the camera from the keyboard. Sets $pid, $main (the main
# dialog's window) and $video (the video window's).
start_and_open_camera() {
  cd "$workdir"
  convert -size 3840x2160 xc:black black.png
  printf '1920 1080\n' > focus.txt
  printf '%b' "$1" > config4k.txt
  start_program_and_open_camera --simulate-camera vexa3.5 --simulate-source black.png
}

# Starts the program in the current folder with the given arguments (and the
# environment settings in the array $program_env, if any) and opens the
# camera from the keyboard. Sets $pid, $main and $video.
start_program_and_open_camera() {
  env ${program_env[@]+"${program_env[@]}"} "$binary" "$@" &
  pid=$!
  main="$(wait_for_window '^VEXA$')" || fail "the main dialog did not appear"
  xdotool windowactivate --sync "$main" 2>/dev/null || xdotool windowfocus --sync "$main"
  # Focus starts on close program; the open-camera button is the next tab stop.
  keys "$main" Tab space
  video="$(wait_for_window '^Camera$')" || fail "the video window did not appear"
}
