# Sourced by the scripts that run Windows programs: a quiet Wine in a
# prefix of our own.
export WINEDEBUG=-all

# True when this machine can start the 32-bit Wine (its kernel runs 32-bit code).
wine32_works() {
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

# Uses (and makes, the first time) the Wine prefix at $1.
wine_prefix() {
  export WINEPREFIX=$1
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    local loader=/usr/lib/wine/wine64
    wine32_works && loader=/usr/lib/wine/wine
    "$loader" wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
}
