#!/bin/bash
# Installs what building and testing Vexlore needs, on Debian 12, with
# apt-get; only what is missing. Runs as root (or through sudo).
set -euo pipefail

packages=(
  cmake make g++ libgtest-dev libbenchmark-dev wamerican
  g++-mingw-w64-i686 g++-mingw-w64-x86-64
  wine wine64 wine32:i386
  xvfb xdotool imagemagick
  scowl
  nsis zip unzip libxml2-utils
  # what Wine only recommends but the window's tests need: its own fonts
  fonts-wine
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "setup: installing ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
