#!/usr/bin/env bash
# Installs the build into a scratch DESTDIR under /usr and checks that the
# binary, the launcher entry, the icon and the metainfo land where desktops
# and software centres look for them, that nothing else is installed, that
# both files validate, and that they agree with each other and the version.
#
# Usage: install_test.sh <build dir> <source dir> <project version> <app id>
set -euo pipefail

build="$1"
source_dir="$2"
version="$3"
app_id="$4"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

root="$(mktemp -d)"
log="$(mktemp)"
trap 'rm -rf "$root" "$log"' EXIT

DESTDIR="$root" cmake --install "$build" --prefix /usr >"$log" 2>&1 || { cat "$log" >&2; fail "cmake --install failed"; }

desktop="usr/share/applications/$app_id.desktop"
metainfo="usr/share/metainfo/$app_id.metainfo.xml"
icon="usr/share/icons/hicolor/256x256/apps/varnix.png"
expected="$(printf '%s\n' usr/bin/varnix "$desktop" "$metainfo" "$icon" | sort)"
installed="$(cd "$root" && find . -type f -printf '%P\n' | sort)"
[ "$installed" = "$expected" ] || fail "installed files differ from the expected set:
$(diff <(echo "$expected") <(echo "$installed") || true)"

[ -x "$root/usr/bin/varnix" ] || fail "the binary is not executable"
[ "$(identify -format '%w %h' "$root/$icon")" = "256 256" ] || fail "the icon is not 256 x 256"

desktop-file-validate "$root/$desktop" || fail "desktop-file-validate rejects $desktop"
appstreamcli validate --no-net --pedantic "$root/$metainfo" || fail "appstreamcli rejects $metainfo"

# The launcher must start the installed binary and name the installed icon.
grep -qx 'Exec=varnix' "$root/$desktop" || fail "Exec does not start varnix"
grep -qx 'Icon=varnix' "$root/$desktop" || fail "Icon does not name varnix"

# The metainfo describes this application at this version.
grep -q "<id>$app_id</id>" "$root/$metainfo" || fail "metainfo id is not $app_id"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$root/$metainfo" ||
  fail "metainfo does not launch $app_id.desktop"
newest="$(grep -o '<release version="[^"]*"' "$root/$metainfo" | head -n 1 | cut -d'"' -f2)"
[ "$newest" = "$version" ] || fail "newest metainfo release is $newest, the project is $version"
grep -qx "ProductVersion=$version" "$source_dir/res/version.txt" || fail "res/version.txt is not at $version"

echo "install layout: ok"
