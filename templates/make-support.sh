#!/bin/sh
# Writes the report templates shipped in support/ from the UTF-8 sources beside this
# script: Windows-1251 bytes with CR LF line ends, as the pages declare themselves.
# Run it after editing a template; a core test checks that the two stay in step.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
out="$here/../support"
mkdir -p "$out"
for src in "$here"/*.html; do
  name=$(basename "$src")
  sed 's/\r$//; s/$/\r/' "$src" | iconv -f UTF-8 -t WINDOWS-1251 > "$out/$name.tmp"
  mv "$out/$name.tmp" "$out/$name"
done
