#!/bin/bash
# Installs what building and testing Vexlore needs, on Debian 12, with
# apt-get; only what is missing. Runs as root (or through sudo). With
# --window, only what the Linux window needs to be built and shown (run.sh);
# with --window-shot, that and a virtual display to take its picture on.
# usage: scripts/setup.sh [--window|--window-shot]
set -euo pipefail

# the Linux window, and its picture on a display of its own
window=(cmake make g++ pkg-config libgtk-3-dev scowl fonts-dejavu-core)
shot=(xvfb openbox x11-utils dbus at-spi2-core python3-gi gir1.2-atspi-2.0 gir1.2-gtk-3.0 imagemagick)

case ${1:-} in
  --window) packages=("${window[@]}") ;;
  --window-shot) packages=("${window[@]}" "${shot[@]}") ;;
  "") packages=() ;;
  *) echo "usage: scripts/setup.sh [--window|--window-shot]" >&2; exit 2 ;;
esac
[ -n "${1:-}" ] || packages=(
  "${window[@]}" "${shot[@]}" python3-xlib
  libgtest-dev libbenchmark-dev wamerican
  g++-mingw-w64-i686 g++-mingw-w64-x86-64
  wine wine64
  xvfb xdotool imagemagick
  scowl
  nsis zip unzip libxml2-utils
  # what Wine only recommends but the window's tests need: its own fonts
  fonts-wine
  # the page: Emscripten, and the browser its test drives
  emscripten chromium chromium-driver python3-selenium
  # the Debian package: its tools and the checks of what it installs
  debhelper dpkg-dev fakeroot build-essential pkg-config libgtk-3-dev
  lintian desktop-file-utils appstream man-db
)

# Whether the kernel runs 32-bit x86 code: a five-instruction program that
# exits with status 7, made with the assembler that comes with g++. Where it
# cannot run, neither can the 32-bit Wine, and the tests use wine64.
runs32() {
  local dir ok=1 rc=0
  command -v as >/dev/null && command -v ld >/dev/null || return 0  # cannot tell: try
  dir=$(mktemp -d)
  printf '.globl _start\n_start: mov $1, %%eax\n mov $7, %%ebx\n int $0x80\n' >"$dir/t.s"
  if as --32 "$dir/t.s" -o "$dir/t.o" 2>/dev/null && ld -m elf_i386 "$dir/t.o" -o "$dir/t" 2>/dev/null; then
    "$dir/t" 2>/dev/null || rc=$?
    [ $rc -eq 7 ] && ok=0
  fi
  rm -rf "$dir"
  return $ok
}

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
apt() { DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$@" >/dev/null; }

# A package index that fails to download (a mirror caught mid-sync, say)
# is no reason to stop: apt-get goes on with the others, and the install
# below says whether what is needed was among them.
update() { $sudo apt-get update -qq || echo "setup: some package indexes could not be read; going on with the rest" >&2; }

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  update
  apt "${missing[@]}"
fi

# (asked only now: the assembler it needs comes with g++)
if [ -n "${1:-}" ] || installed wine32:i386 || ! runs32; then
  exit 0
fi

# The 32-bit Wine runs the 32-bit programs as shipped; without it the
# tests run the 64-bit build under wine64, so a failure here is a warning.
echo "setup: installing wine32:i386"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
  update
elif [ ${#missing[@]} -eq 0 ]; then
  update
fi
apt wine32:i386 || echo "setup: wine32:i386 could not be installed; the Windows tests will run the 64-bit build under wine64" >&2
