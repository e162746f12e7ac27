# Shared by scripts/run and scripts/test: installing what is missing, Xvfb, Wine.
# shellcheck shell=bash

VM_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# The Debian packages every build and test needs; scripts/deps/*.txt add more.
VM_BASE_PACKAGES="cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev locales
  g++-mingw-w64-x86-64-posix wine wine64 xvfb xdotool x11-apps imagemagick
  fonts-wine fonts-dejavu-core fonts-liberation libssl-dev libgnutls30"

vm_say() { printf '\n== %s\n' "$*"; }

# Installs what is missing of the base list, scripts/deps/*.txt and the packages named.
vm_install_deps() {
  local wanted pkgs=() missing=()
  wanted="$VM_BASE_PACKAGES $* $(cat "$VM_ROOT"/scripts/deps/*.txt 2>/dev/null | sed 's/#.*//')"
  for p in $wanted; do pkgs+=("$p"); done
  for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing packages: ${missing[*]} (run as root, or install them, then try again)" >&2
    return 1
  fi
  vm_say "installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq >/dev/null
  # With the recommended packages: Wine needs its fonts and X libraries from them.
  apt-get install -y -qq "${missing[@]}" >/dev/null
}

# Wine names files through the Linux locale: without ru_RU.UTF-8 a Cyrillic file name
# cannot be made. Generate it once (root only; harmless when it exists).
vm_russian_locale() {
  locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$' && return 0
  [ "$(id -u)" -eq 0 ] || return 0
  localedef -i ru_RU -f UTF-8 ru_RU.UTF-8 >/dev/null 2>&1 || true
}

# The fonts Wine may use, and nothing else: Wine's own (Tahoma for "MS Shell Dlg"),
# DejaVu and Liberation 1. Whatever else a machine has installed stays out, so the
# program looks and behaves the same everywhere. Liberation Sans 2.1 in particular must
# stay out: Wine 8's text shaping reads before the start of its glyph array when an
# edit control's text begins with "д", "е", "ж" or "з" in that font, and the process
# dies (Wine falls back to it for Tahoma, Arial and every other missing face).
vm_fontconfig() {
  local dir="$WINEPREFIX.fonts"
  export FONTCONFIG_FILE="$dir/fonts.conf"
  [ -f "$FONTCONFIG_FILE" ] && return 0
  mkdir -p "$dir/cache"
  cat >"$FONTCONFIG_FILE" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>/usr/share/wine/fonts</dir>
  <dir>/usr/share/fonts/truetype/dejavu</dir>
  <dir>/usr/share/fonts/truetype/liberation</dir>
  <cachedir>$dir/cache</cachedir>
</fontconfig>
EOF
}

# Wine settings: a private prefix, Russian locale (ANSI 1251, OEM 866), no Mono/Gecko,
# the project's fonts.
vm_wine_env() {
  export WINEPREFIX="${WINEPREFIX:-$VM_ROOT/build/wineprefix}"
  vm_fontconfig
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  # LC_ALL too: an inherited LC_ALL (C.UTF-8 on many machines) would override LANG and
  # give Wine ANSI 1252 / OEM 437.
  { export LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8; } 2>/dev/null  # the Linux locale need not exist
  export WINEARCH=win64
  # The 64-bit loader directly: the wrapper only adds a warning about 32-bit Wine.
  VM_WINE=wine
  [ -x /usr/lib/wine/wine64 ] && VM_WINE=/usr/lib/wine/wine64
  export VM_WINE
}

VM_XVFB_PID=""
VM_STARTED_WINESERVER=""

# Starts Xvfb on a free display when there is none (or always, with "force").
vm_start_xvfb() {
  if [ -n "${DISPLAY:-}" ] && [ "${1:-}" != force ]; then return 0; fi
  local n=91
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  VM_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
}

vm_start_wine() {
  vm_russian_locale
  vm_wine_env
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    vm_say "preparing the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 </dev/null || true
  fi
  # No crash dialog (a crashing process ends at once, its backtrace on standard error),
  # and the faces the program asks for mapped onto the fonts above. Applied on every
  # start, so a prefix made before these settings gets them too.
  "$VM_WINE" reg import "$(winepath -w "$VM_ROOT/scripts/wine-prefix.reg" 2>/dev/null)" \
    >/dev/null 2>&1 </dev/null || echo "could not apply scripts/wine-prefix.reg" >&2
  # A persistent server makes each test process start quickly; detached so that
  # nothing waits for its output.
  wineserver -p >/dev/null 2>&1 </dev/null &
  VM_STARTED_WINESERVER=1
  # Start the prefix's services now, detached: started by the first test instead, they
  # would inherit and hold ctest's output pipe, and ctest would wait for ever.
  "$VM_WINE" cmd.exe /c exit >/dev/null 2>&1 </dev/null
}

vm_stop_all() {
  if [ -n "$VM_STARTED_WINESERVER" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "$VM_XVFB_PID" ]; then kill "$VM_XVFB_PID" 2>/dev/null || true; fi
}
