#!/usr/bin/env bash
# Draws the tab icons, the reminder icon and the splash picture with ImageMagick. The results are
# committed beside velmoria.rc; run this only to change the art:
#   src/app/art/make-art.sh   (writes src/app/*.ico and src/app/splash.bmp)
set -euo pipefail
out=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Each icon is drawn at 64 x 64 and scaled to the two sizes a tab and a menu use.
icon() {
  local name=$1
  shift
  convert -size 64x64 xc:none "$@" "$name.png"
  convert "$name.png" -resize 16x16 "$name-16.png"
  convert "$name.png" -resize 32x32 "$name-32.png"
  convert "$name-16.png" "$name-32.png" "$out/$name.ico"
}

# Data: a table with a header row.
icon tab_data -fill white -stroke '#1f4e79' -strokewidth 3 -draw "rectangle 4,8 59,55" \
  -fill '#2e75b6' -stroke none -draw "rectangle 6,10 57,22" \
  -stroke '#1f4e79' -strokewidth 2 -draw "line 5,33 58,33" -draw "line 5,44 58,44" \
  -draw "line 24,22 24,54" -draw "line 42,22 42,54"

# Contacts: a person.
icon tab_contacts -fill '#3b7dd8' -stroke '#1d4f91' -strokewidth 3 \
  -draw "circle 32,20 32,8" -draw "ellipse 32,58 24,20 180,360"

# Firms: an office building.
icon tab_firms -fill '#8c9aa8' -stroke '#3e4a56' -strokewidth 3 -draw "rectangle 12,6 52,60" \
  -fill '#ffe9a8' -stroke none \
  -draw "rectangle 18,12 26,20" -draw "rectangle 38,12 46,20" \
  -draw "rectangle 18,26 26,34" -draw "rectangle 38,26 46,34" \
  -draw "rectangle 18,40 26,48" -draw "rectangle 38,40 46,48" \
  -fill '#3e4a56' -draw "rectangle 28,48 36,60"

# Dates: a calendar page.
icon tab_dates -fill white -stroke '#7f1d1d' -strokewidth 3 -draw "roundrectangle 6,8 58,58 6,6" \
  -fill '#d62828' -stroke none -draw "rectangle 8,10 56,24" \
  -fill '#333333' -draw "rectangle 14,30 22,37" -draw "rectangle 28,30 36,37" -draw "rectangle 42,30 50,37" \
  -draw "rectangle 14,44 22,51" -fill '#d62828' -draw "rectangle 28,44 36,51" \
  -fill '#555555' -draw "rectangle 18,3 22,14" -draw "rectangle 42,3 46,14"

# Notebook: a lined pad with rings.
icon tab_notebook -fill '#fff4b0' -stroke '#8a6d00' -strokewidth 3 -draw "rectangle 12,8 54,60" \
  -stroke '#c9a400' -strokewidth 2 -draw "line 18,24 48,24" -draw "line 18,34 48,34" \
  -draw "line 18,44 48,44" -draw "line 18,54 40,54" \
  -fill none -stroke '#444444' -strokewidth 3 -draw "circle 22,8 22,3" -draw "circle 33,8 33,3" -draw "circle 44,8 44,3"

# Tasks: a ticked box.
icon tab_tasks -fill white -stroke '#2f5d2f' -strokewidth 4 -draw "roundrectangle 8,14 48,56 5,5" \
  -fill none -stroke '#2e9e3e' -strokewidth 8 -draw "polyline 16,34 28,46 56,10"

# Spreadsheet: a grid with a little chart.
icon tab_sheet -fill white -stroke '#1e6b3a' -strokewidth 3 -draw "rectangle 4,6 59,58" \
  -stroke '#7fb58f' -strokewidth 2 -draw "line 5,20 58,20" -draw "line 5,33 58,33" -draw "line 5,46 58,46" \
  -draw "line 22,7 22,57" -draw "line 40,7 40,57" \
  -fill '#21a366' -stroke none -draw "rectangle 27,40 33,55" -draw "rectangle 36,30 42,55" -draw "rectangle 45,18 51,55"

# Reminder: a bell, for the reminder message window.
icon reminder -fill '#f2b705' -stroke '#8a5a00' -strokewidth 3 \
  -draw "path 'M 32,9 C 19,9 16,22 16,32 L 16,42 L 9,50 L 55,50 L 48,42 L 48,32 C 48,22 45,9 32,9 Z'" \
  -fill '#8a5a00' -stroke none -draw "circle 32,56 32,51" -draw "circle 32,7 32,3" \
  -fill '#ffe27a' -draw "path 'M 24,20 C 21,26 21,32 21,40 L 25,40 L 25,32 C 25,27 26,23 28,19 Z'"

# About: an "i" in a circle.
icon tab_about -fill '#2a6fb0' -stroke '#174a7a' -strokewidth 3 -draw "circle 32,32 32,4" \
  -fill white -stroke none -draw "circle 32,18 32,13" -draw "roundrectangle 27,27 37,52 3,3"

# The splash picture, also shown small on the About page: square so it scales evenly.
font_serif=$(fc-match -f '%{file}' 'DejaVu Serif:bold:italic')
font_sans=$(fc-match -f '%{file}' 'DejaVu Sans')
convert -size 300x300 gradient:'#1b4965'-'#0b2239' \
  -fill '#ffffff22' -stroke none -draw "circle 240,60 240,170" -draw "circle 40,270 40,330" \
  -fill '#f6f1e3' -stroke '#c8b98f' -strokewidth 2 -draw "roundrectangle 70,60 230,180 8,8" \
  -stroke '#d9cfb2' -strokewidth 1 -draw "line 150,64 150,176" \
  -stroke '#b8c7d6' -draw "line 82,90 140,90" -draw "line 82,108 140,108" -draw "line 82,126 140,126" \
  -draw "line 82,144 130,144" \
  -fill '#d62828' -stroke none -draw "rectangle 162,78 218,94" \
  -fill '#333333' -draw "rectangle 166,102 174,110" -draw "rectangle 186,102 194,110" -draw "rectangle 206,102 214,110" \
  -draw "rectangle 166,118 174,126" -draw "rectangle 186,118 194,126" -fill '#d62828' -draw "rectangle 206,118 214,126" \
  -fill '#333333' -draw "rectangle 166,134 174,142" \
  -fill none -stroke '#2e9e3e' -strokewidth 5 -draw "polyline 184,150 194,160 214,136" \
  -font "$font_serif" -pointsize 42 -fill white -stroke none -gravity north -annotate +0+196 'Velmoria' \
  -font "$font_sans" -pointsize 17 -fill '#cfe3f2' -annotate +0+248 'личный органайзер' \
  -type truecolor "BMP3:$out/splash.bmp"
echo "icons and splash written to $out"
