#!/usr/bin/env bash
# Builds the Debian package with CPack into a scratch folder and checks its
# control data (name, version, architecture, and dependencies that cover
# every library the binary links plus the font and the X11 platform plugin),
# unpacks it into a scratch root and starts the unpacked binary.
#
# Usage: deb_package_test.sh <build dir> <project version> <app id>
set -euo pipefail

build="$1"
version="$2"
app_id="$3"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 || { cat "$out/cpack.log" >&2; fail "cpack failed"; }
debs=("$out"/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb in $out"
deb="${debs[0]}"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = varnix ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', expected $version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is '$(field Architecture)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"

# Package names alone, without versions or alternatives' bars.
depends="$(field Depends | tr ',|' '\n\n' | sed -E 's/\(.*\)//; s/^ +//; s/ +$//' | sed '/^$/d' | sort -u)"
for required in libqt6widgets6 libopencv-videoio406 fonts-wqy-microhei qt6-qpa-plugins libc6; do
  grep -qx "$required" <<<"$depends" || fail "Depends lacks $required: $(field Depends)"
done
# Every name must be a real Debian package: this machine has them all installed.
while read -r name; do
  dpkg-query -W "$name" >/dev/null 2>&1 || fail "Depends names $name, which is no installed package"
done <<<"$depends"

mkdir "$out/root"
dpkg -x "$deb" "$out/root"
for f in usr/bin/varnix usr/share/applications/$app_id.desktop \
  usr/share/metainfo/$app_id.metainfo.xml usr/share/icons/hicolor/256x256/apps/varnix.png; do
  [ -f "$out/root/$f" ] || fail "the package lacks /$f"
done

# Every library the binary links directly must come from a declared package,
# or a clean machine would install the package and still fail to start it.
binary="$out/root/usr/bin/varnix"
while read -r library; do
  path="$(ldd "$binary" | awk -v l="$library" '$1 == l { print $3 }')"
  [ -n "$path" ] && [ -e "$path" ] || fail "$library does not resolve"
  owner=""
  for candidate in "$path" "$(realpath "$path")" "${path#/usr}" "/usr$path"; do
    owner="$(dpkg -S "$candidate" 2>/dev/null | head -n 1 | cut -d: -f1)" && [ -n "$owner" ] && break
  done
  [ -n "$owner" ] || fail "no package owns $path"
  grep -qx "$owner" <<<"$depends" || fail "$library comes from $owner, which Depends does not name"
done < <(objdump -p "$binary" | awk '$1 == "NEEDED" { print $2 }')

# The unpacked, stripped binary starts: an unknown option ends with the usage and code 2.
status=0
QT_QPA_PLATFORM=offscreen "$binary" --no-such-option >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "the unpacked binary ended with $status on an unknown option, expected 2"

echo "deb package: ok ($(basename "$deb"))"
