#!/usr/bin/env bash
# Draws the application icon, res/varnix.png: 256 x 256 with alpha, a target
# of three rings around a crosshair on a dark disc, in the overlay's colours.
# Needs ImageMagick's convert. Run it again after changing the design.
set -euo pipefail
cd "$(dirname "$0")"

convert -size 256x256 xc:none \
  -fill '#1d2733' -stroke '#0b1016' -strokewidth 6 -draw 'circle 128,128 128,8' \
  -fill none \
  -stroke '#ff3030' -strokewidth 10 -draw 'circle 128,128 128,30' \
  -stroke '#30e040' -strokewidth 9 -draw 'circle 128,128 128,62' \
  -stroke '#3a7bff' -strokewidth 8 -draw 'circle 128,128 128,92' \
  -stroke '#ff40ff' -strokewidth 7 -draw 'line 128,20 128,236' -draw 'line 20,128 236,128' \
  -fill '#ffffff' -stroke none -draw 'circle 128,128 128,122' \
  -depth 8 -define png:color-type=6 varnix.png
