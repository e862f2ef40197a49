#!/usr/bin/env bash
# scripts/check-layers passes on this tree, and on a scratch tree fails for
# each kind of include the layers forbid, naming the file and the include.
#
# Usage: check_layers_test.sh SOURCE_ROOT
set -euo pipefail
root="$1"
check="$root/scripts/check-layers"

"$check" "$root"

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch"/{app,camera,overlay,params,platform,res,video}
touch "$scratch/app/a.h" "$scratch/platform/p.h" "$scratch/res/r.h" "$scratch/video/v.h" "$scratch/overlay/o.h"

# What the layers allow.
printf '#include "platform/p.h"\n' >"$scratch/res/ok.h"
printf '#include "overlay/o.h"\n#include <vector>\n' >"$scratch/params/ok.cpp"
printf '#include "res/r.h"\n#include "platform/p.h"\n#include <QWidget>\n' >"$scratch/video/ok.cpp"
printf '#include "p.h"\n' >"$scratch/platform/ok.cpp"
"$check" "$scratch"

# file | its only line | what the report names
cases=(
  'platform/bad.h|#include "res/r.h"|res/r.h'
  'platform/bad.cpp|#include "../app/a.h"|app/a.h'
  'res/bad.h|#include "video/v.h"|video/v.h'
  'camera/bad.h|#include "platform/p.h"|platform/p.h'
  'overlay/bad.cpp|#include <QImage>|QImage'
  'params/bad.cpp|#  include "app/a.h"|app/a.h'
  'video/bad.cpp|#include "app/a.h"|app/a.h'
)
for row in "${cases[@]}"; do
  IFS='|' read -r file line named <<<"$row"
  printf '%s\n' "$line" >"$scratch/$file"
  if report="$("$check" "$scratch" 2>&1)"; then
    echo "FAIL: '$line' in $file passed the check" >&2
    exit 1
  fi
  if ! grep -qF "$file:1: includes $named:" <<<"$report"; then
    echo "FAIL: '$line' in $file: the report does not name it:" >&2
    echo "$report" >&2
    exit 1
  fi
  rm "$scratch/$file"
done
echo "PASS"
