#!/usr/bin/env bash
# Draws the icons of the contacts and firms pages (tool-bar buttons, contact means, the
# boxes' icons) with ImageMagick. The results are committed in src/cards/win/res; run
# this only to change the art:  src/cards/win/art/make-icons.sh
set -euo pipefail
out=$(cd "$(dirname "$0")/../res" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Each icon is drawn at 64 x 64 and scaled to the sizes a tool bar (16), the boxes' icons
# (30) and a large icon (32) use.
icon() {
  local name=$1
  shift
  convert -size 64x64 xc:none "$@" "$name.png"
  for s in 16 30 32; do convert "$name.png" -resize ${s}x${s} "$name-$s.png"; done
  convert "$name-16.png" "$name-30.png" "$name-32.png" "$out/$name.ico"
}

handset="path 'M 14,8 C 8,10 6,18 10,28 C 16,42 26,52 38,56 C 46,58 52,56 56,50 L 46,40 L 38,46 C 30,42 22,34 18,26 L 24,18 Z'"

# Add: a green plus.
icon add -fill '#2e9e3e' -stroke '#1d6b29' -strokewidth 2 \
  -draw "roundrectangle 26,6 38,58 3,3" -draw "roundrectangle 6,26 58,38 3,3" -stroke none \
  -draw "rectangle 27,7 37,57"
# Delete: a red cross.
icon delete -stroke '#b3261e' -strokewidth 12 -draw "line 12,12 52,52" -draw "line 52,12 12,52"
# Telephone: a handset.
icon phone -fill '#2a6fb0' -stroke '#174a7a' -strokewidth 3 -draw "$handset"
# Mobile telephone.
icon mobile -fill '#3d4852' -stroke '#1f262c' -strokewidth 3 -draw "roundrectangle 18,4 46,60 6,6" \
  -fill '#9fd3ff' -stroke none -draw "rectangle 22,12 42,42" -fill '#cfd8dc' -draw "circle 32,51 32,47"
# Fax: a machine with a sheet coming out.
icon fax -fill white -stroke '#555555' -strokewidth 3 -draw "rectangle 18,4 46,30" \
  -stroke '#9e9e9e' -strokewidth 2 -draw "line 23,12 41,12" -draw "line 23,19 41,19" \
  -fill '#78909c' -stroke '#37474f' -strokewidth 3 -draw "roundrectangle 6,28 58,58 5,5" \
  -fill '#263238' -stroke none -draw "rectangle 14,36 50,40" \
  -fill '#eceff1' -draw "rectangle 14,46 20,52" -draw "rectangle 26,46 32,52" -draw "rectangle 38,46 44,52"
# Pager: a small box with a screen.
icon pager -fill '#455a64' -stroke '#263238' -strokewidth 3 -draw "roundrectangle 6,16 58,50 6,6" \
  -fill '#b9f6ca' -stroke none -draw "rectangle 12,22 44,36" -fill '#cfd8dc' -draw "circle 51,29 51,25" \
  -fill '#263238' -draw "rectangle 15,27 38,30"
# E-mail: an envelope.
icon mail -fill '#fff8e1' -stroke '#8d6e00' -strokewidth 3 -draw "rectangle 4,14 60,52" \
  -fill none -draw "polyline 4,14 32,36 60,14"
# Web: a globe.
icon web -fill '#4fa3e0' -stroke '#1a5e96' -strokewidth 3 -draw "circle 32,32 32,4" \
  -fill none -stroke '#e3f2fd' -strokewidth 3 -draw "ellipse 32,32 12,27 0,360" \
  -draw "line 5,32 59,32" -draw "line 10,18 54,18" -draw "line 10,46 54,46"
# ICQ: a flower.
icon icq -fill '#43a047' -stroke '#1b5e20' -strokewidth 2 \
  -draw "circle 32,13 32,4" -draw "circle 32,51 32,42" -draw "circle 13,32 4,32" -draw "circle 51,32 42,32" \
  -draw "circle 19,19 12,14" -draw "circle 45,45 52,50" -draw "circle 45,19 52,14" -draw "circle 19,45 12,50" \
  -fill '#ef5350' -draw "circle 32,32 32,23"
# Report in the browser: a page with a magnifier.
icon report -fill white -stroke '#546e7a' -strokewidth 3 -draw "polygon 8,4 38,4 50,16 50,60 8,60" \
  -stroke '#90a4ae' -strokewidth 2 -draw "line 15,18 35,18" -draw "line 15,27 42,27" -draw "line 15,36 30,36" \
  -fill '#bbdefb' -stroke '#0d47a1' -strokewidth 4 -draw "circle 40,42 40,31" \
  -stroke '#0d47a1' -strokewidth 7 -draw "line 48,50 58,60"
# Clear the search boxes: an eraser.
icon clear -fill '#f48fb1' -stroke '#880e4f' -strokewidth 3 -draw "polygon 30,8 58,36 36,58 8,30" \
  -fill '#eeeeee' -draw "polygon 8,30 22,44 14,52 4,42" -stroke '#555555' -strokewidth 2 -draw "line 4,60 60,60"
# Save all: two diskettes.
icon save -fill '#1e5aa8' -stroke '#0b2f5e' -strokewidth 2 -draw "rectangle 16,2 60,46" \
  -draw "rectangle 4,16 48,60" -fill white -stroke none -draw "rectangle 12,18 40,34" \
  -fill '#b0bec5' -draw "rectangle 14,44 38,60" -fill '#0b2f5e' -draw "rectangle 30,46 35,56"
# What went wrong at the last load: a warning sign.
icon loadinfo -fill '#ffca28' -stroke '#8d6e00' -strokewidth 3 -draw "polygon 32,4 61,58 3,58" \
  -fill '#3e2723' -stroke none -draw "roundrectangle 28,20 36,42 3,3" -draw "circle 32,50 32,46"
# Help: a question mark in a circle.
icon help -fill '#2a6fb0' -stroke '#174a7a' -strokewidth 3 -draw "circle 32,32 32,4" \
  -fill white -stroke none -font DejaVu-Sans-Bold -pointsize 44 -gravity center -annotate +0+2 '?'
# Hide to the notification area: an arrow down onto a bar.
icon hide -fill '#546e7a' -stroke none -draw "rectangle 6,52 58,60" \
  -fill '#2e7d32' -draw "polygon 32,46 12,24 24,24 24,4 40,4 40,24 52,24"
# The boxes: an address (a house), a comment (a note), telephones (a handset on a card).
icon address -fill '#ffe0b2' -stroke '#6d4c41' -strokewidth 3 -draw "rectangle 12,28 52,60" \
  -fill '#c62828' -draw "polygon 4,30 32,4 60,30" -fill '#6d4c41' -stroke none -draw "rectangle 27,42 37,60" \
  -fill '#90caf9' -draw "rectangle 16,34 24,42" -draw "rectangle 40,34 48,42"
icon comment -fill '#fff59d' -stroke '#9e7d00' -strokewidth 3 -draw "polygon 6,4 58,4 58,46 44,60 6,60" \
  -fill '#fbc02d' -draw "polygon 44,60 44,46 58,46" -stroke '#9e7d00' -strokewidth 2 \
  -draw "line 14,18 50,18" -draw "line 14,28 50,28" -draw "line 14,38 40,38"
icon phones -fill '#e3f2fd' -stroke '#1565c0' -strokewidth 3 -draw "roundrectangle 2,2 62,62 8,8" \
  -fill '#1565c0' -stroke '#0d47a1' -strokewidth 2 -draw "$handset"
