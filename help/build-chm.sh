#!/bin/sh
# Compiles the help file: help/build-chm.sh OUTPUT.chm
# The sources beside this script are UTF-8; the help viewer reads the pages, contents
# and index of a Russian help file as Windows-1251, so they are recoded into a scratch
# folder first and compiled there with chmcmd (Debian package fp-utils).
set -eu
if [ $# -ne 1 ]; then
  echo "usage: $0 OUTPUT.chm" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
case "$1" in
  /*) out=$1 ;;
  *) out=$(pwd)/$1 ;;
esac
command -v chmcmd >/dev/null 2>&1 || { echo "chmcmd not found (install fp-utils)" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/velmoria-help.XXXXXX")
trap 'rm -rf "$work"' EXIT
for src in "$here"/*.html "$here"/*.hhc "$here"/*.hhk "$here"/*.hhp "$here"/*.css; do
  sed 's/\r$//; s/$/\r/' "$src" | iconv -f UTF-8 -t WINDOWS-1251 > "$work/$(basename "$src")"
done
(cd "$work" && chmcmd Velmoria.hhp > build.log 2>&1) || { cat "$work/build.log" >&2; exit 1; }
if grep -qi "error" "$work/build.log"; then cat "$work/build.log" >&2; exit 1; fi
[ -s "$work/Velmoria.chm" ] || { cat "$work/build.log" >&2; echo "no Velmoria.chm was made" >&2; exit 1; }
mkdir -p "$(dirname "$out")"
cp "$work/Velmoria.chm" "$out.tmp"
mv "$out.tmp" "$out"
