# shellcheck shell=bash
# Sourced by the scripts that run Windows programs: a quiet Wine in a
# prefix of our own.
export WINEDEBUG=-all
# Wine names files on the Unix side in the locale's character set: in the C
# locale of a bare system a Windows name outside ASCII has no Unix name at
# all, and opening it fails. UTF-8 takes every name.
export LC_ALL=C.UTF-8

# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# True when this machine can start the 32-bit Wine.
wine32_works() {
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

# Why the 32-bit Wine does not start here, in a few words: the kernel, or
# the 32-bit Wine not installed (or not working).
wine32_why_not() {
  if ! runs32; then
    echo "this machine's kernel runs no 32-bit code"
  elif ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
    echo "the 32-bit Wine (wine32:i386) is not installed: scripts/setup.sh could not install it"
  else
    echo "the 32-bit Wine is installed but does not start (/usr/lib/wine/wine --version fails)"
  fi
}

# The Wine that runs the Windows tree this machine can run: plain wine for
# build/win32 where the kernel runs 32-bit code, else wine64 (build/win64).
wine_loader() {
  if wine32_works; then echo wine; else echo /usr/lib/wine/wine64; fi
}

# The Windows build tree this machine runs, under the build folder $1.
wine_tree() {
  if wine32_works; then echo "$1/win32"; else echo "$1/win64"; fi
}

# Uses (and makes, the first time) the Wine prefix at $1, with Wine's own
# fonts where its programs find them: Debian's Wine does not look in
# /usr/share/wine/fonts, so without them "MS Sans Serif" falls back to a
# wider face, labels wrap and the close box has no glyph.
wine_prefix() {
  local loader
  loader=$(wine_loader)
  export WINEPREFIX=$1
  # the programs Wine starts itself must come up 64-bit as well
  wine32_works || export WINELOADER=$loader
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$loader" wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
  local fonts=$WINEPREFIX/drive_c/windows/Fonts
  if [ ! -f "$fonts/ms_sans_serif.ttf" ]; then
    mkdir -p "$fonts"
    cp /usr/share/wine/fonts/* "$fonts/"
  fi
}

# For a display with no window manager (Xvfb): Wine draws the caption,
# the frame and the close box itself (X11 Driver: Managed and Decorated
# off). Done once per prefix; not for a desktop, whose window manager
# frames the window and gives it the keyboard.
wine_bare_display() {
  local done=$WINEPREFIX/.bare-display
  [ -f "$done" ] && return 0
  local reg=$WINEPREFIX/drive_c/bare-display.reg
  printf '%s\r\n' 'REGEDIT4' '' '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' \
    '"Managed"="N"' '"Decorated"="N"' >"$reg"
  "$(wine_loader)" regedit /S 'C:\bare-display.reg' >/dev/null 2>&1
  wineserver -w || true
  rm -f "$reg"
  touch "$done"
}
