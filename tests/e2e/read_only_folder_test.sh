#!/usr/bin/env bash
# End to end, the real binary on a virtual X server in a working folder it
# may not write to, holding a config4k.txt it may not write either: saving
# the parameters fails, the program says so in its box, the old config4k.txt
# is untouched and nothing is left behind; the run goes on and the program
# still ends with exit code 0.
#
# Root ignores folder permissions, so as root the program runs as the user
# nobody (setpriv); otherwise as the calling user.
#
# Usage: read_only_folder_test.sh <path to varnix>
set -euo pipefail

binary="$(realpath "$1")"
here="$(cd "$(dirname "$0")" && pwd)"
skip=77

if [ -z "${VARNIX_E2E_FOLDER:-}" ]; then
  folder="$(mktemp -d)"
  trap 'chmod u+w "$folder"; rm -rf "$folder"' EXIT
  chmod 755 "$folder"
  printf '1920 1080' > "$folder/focus.txt"
  printf '222 3 100 1 50 1 100 1 0 0 0' > "$folder/config4k.txt"
  chmod 444 "$folder"/*.txt
  chmod 555 "$folder"
  runner=()
  if [ "$(id -u)" -eq 0 ]; then
    if ! command -v setpriv >/dev/null; then
      echo "SKIP: running as root without setpriv, so the folder cannot be made read-only for the program"
      exit "$skip"
    fi
    runner=(setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME=/tmp)
  fi
  status=0
  "${runner[@]}" env VARNIX_E2E_FOLDER="$folder" bash "$0" "$binary" || status=$?
  exit "$status"
fi

if [ -z "${VARNIX_E2E_INSIDE_XVFB:-}" ]; then
  export VARNIX_E2E_INSIDE_XVFB=1
  exec xvfb-run -a -s "-screen 0 1920x1080x24" bash "$0" "$binary"
fi

source "$here/e2e_lib.sh"

cd "$VARNIX_E2E_FOLDER"
if touch probe 2>/dev/null; then
  rm -f probe
  echo "SKIP: the working folder is writable for $(id -un), so a save cannot fail here"
  exit "$skip"
fi
before="$(cat config4k.txt)"

unset QT_QPA_PLATFORM
"$binary" --simulate-camera vexa3 &
pid=$!

main="$(wait_for_window '^VEXA$')" || fail "the main dialog did not appear"
xdotool windowactivate --sync "$main" 2>/dev/null || xdotool windowfocus --sync "$main"
keys "$main" Tab space
wait_for_window '^Camera$' >/dev/null || fail "the video window did not appear"
# From close camera, where opening leaves the focus, to the save button: 33 tab stops.
keys "$main" $(printf 'Tab %.0s' $(seq 33)) space

box="$(wait_for_window '^异常$')" || fail "no message after the save failed"
xdotool windowfocus --sync "$box" 2>/dev/null || true
xdotool key --clearmodifiers Return
wait_for 10 bash -c "! xdotool search --onlyvisible --name '^异常\$'" || fail "the message box stayed"

[ "$(cat config4k.txt)" = "$before" ] || fail "config4k.txt changed: $(cat config4k.txt)"
leftovers="$(ls -A | grep -vx -e config4k.txt -e focus.txt || true)"
[ -z "$leftovers" ] || fail "the failed save left files behind: $leftovers"
xdotool search --onlyvisible --name '^Camera$' >/dev/null || fail "the capture run ended with the failed save"

keys "$main" Escape
expect_exit 0
echo "PASS: the failed save was reported, the old file kept, exit code 0"
