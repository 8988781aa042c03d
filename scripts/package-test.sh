#!/bin/bash
# The packages of scripts/package.sh: the Debian package checked by
# scripts/deb-test.sh, then the Windows ones tested as a user meets them,
# under Wine on a virtual display of its own, each test in a copy of a
# ready prefix of its own:
#  - the zip's contents, line ends and version blocks;
#  - the zip unpacked into a folder whose path has spaces and a letter
#    beyond ASCII, the window started from there, searched;
#  - the installer, silent: files, Start-menu shortcut, uninstall key; the
#    program started through the shortcut's target, searched (screenshot
#    build/screenshots/package/installed.png); the silent uninstaller
#    leaves no file, shortcut or key;
#  - where the machine runs it, the same in a 64-bit prefix, where the
#    installer puts the program in "Program Files (x86)".
# Prints a line per check and the time of each step; exits non-zero when
# a check fails.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXLORE_BUILD:-$top/build}
source "$top/scripts/window-env.sh"

bash "$top/scripts/package.sh"

# the Debian package, as Debian's tools see it
bash "$top/scripts/deb-test.sh"

if ! wine32_works; then
  echo "package-test: $(wine32_why_not), so not the 32-bit packages: skipped"
  exit 0
fi

windows_build "$build" package-test vexlore-driver
version=$(cat "$build/win32/version.txt")
name=vexlore-$version
zip=$build/package/$name-win32.zip
setup=$build/package/$name-setup.exe
shipped=(LICENSE.txt README.txt english.model english.related model-copyright.txt related-copyright.txt vexlore-find.exe vexlore.exe words words-copyright.txt)

work=$build/package-test
shots=$build/screenshots/package
rm -rf "$work" "$shots"
mkdir -p "$work" "$shots"
# Wine links the prefix's Desktop and Documents to HOME's and would add
# the shortcut to this machine's menus: neither here.
export HOME=$build/package-home
# file names beyond ASCII reach Wine as UTF-8
export LC_ALL=C.UTF-8
export WINEDLLOVERRIDES=winemenubuilder.exe=d
mkdir -p "$HOME"

# shellcheck source=check.sh
source "$top/scripts/check.sh"
started=0
step() { started=$EPOCHREALTIME; echo; echo "=== $*"; }
took() { awk -v a="$started" -v b="$EPOCHREALTIME" 'BEGIN { printf "time: %.1f s\n", b - a }'; }

# The prefix $2 for the Wine architecture $1 (win32, win64): a copy of a
# template made once, with Wine's fonts and set up for a display without a
# window manager.
fresh_prefix() {
  local template=$build/wineprefix-package-$1
  if [ ! -f "$template/.bare-display" ]; then
    echo "making the $1 template prefix"
    rm -rf "$template"
    WINEARCH=$1 wine_prefix "$template"
    wine_bare_display
    wineserver -w || true
  fi
  rm -rf "$2"
  cp -a "$template" "$2"
  export WINEPREFIX=$2
}

# The driver's checks of the program in the Windows folder $1 ($2...: the
# shortcut and the pictures folder, for the installed copy); its FAIL
# lines count with ours.
drive() {
  local status=0 log=$work/driver.log
  "$loader" "$tree/vexlore-driver.exe" package "$1" "$version" "${@:2}" 2>&1 |
    driver_screenshots "$shots" | tee "$log" | sed '/passed, .* failed$/d' || status=$?
  local fails
  fails=$(grep -c '^FAIL' "$log" || true)
  [ "$status" -eq 0 ] || [ "$fails" -gt 0 ] || fails=1
  failed=$((failed + fails))
}

# Every line of each file named ends in CR LF.
crlf() {
  local f
  for f; do ! LC_ALL=C grep -q -v $'\r$' "$f" || return 1; done
}
# File $1 with its CRs taken out is file $2.
same_but_cr() { tr -d '\r' <"$1" | cmp -s - "$2"; }
# The manifest in the resources $1 (windres -O rc): asInvoker, DPI aware,
# and four supported OS entries.
manifest() {
  grep -q asInvoker <<<"$1" && grep -q "dpiAware.*true" <<<"$1" &&
    [ "$(grep -c supportedOS <<<"$1")" -eq 4 ]
}
# True when the command fails.
not() { ! "$@"; }

step "package contents"
unzip -l "$zip"
listed=$(unzip -Z1 "$zip" | tr '\n' ' ')
want="$name/ $(printf "$name/%s " "${shipped[@]}")"
checkrun "zip" "$listed" test "$listed" = "$want"
unzip -q -o "$zip" -d "$work/unzipped"
files=$work/unzipped/$name
checkrun "line ends" "README.txt, LICENSE.txt, words-copyright.txt, model-copyright.txt, related-copyright.txt end their lines in CR LF" \
  crlf "$files/README.txt" "$files/LICENSE.txt" "$files/words-copyright.txt" "$files/model-copyright.txt" \
  "$files/related-copyright.txt"
checkrun "copyright" "words-copyright.txt is tools/words-copyright.txt" \
  same_but_cr "$files/words-copyright.txt" "$top/tools/words-copyright.txt"
checkrun "model copyright" "model-copyright.txt is tools/model-copyright.txt" \
  same_but_cr "$files/model-copyright.txt" "$top/tools/model-copyright.txt"
checkrun "related copyright" "related-copyright.txt is tools/related-copyright.txt" \
  same_but_cr "$files/related-copyright.txt" "$top/tools/related-copyright.txt"
checkrun "words" "the build's words, $(wc -l <"$files/words") lines" cmp -s "$files/words" "$build/win32/words"
checkrun "model" "the build's english.model, $(wc -c <"$files/english.model") bytes" \
  cmp -s "$files/english.model" "$build/win32/english.model"
checkrun "related" "the build's english.related, $(wc -c <"$files/english.related") bytes" \
  cmp -s "$files/english.related" "$build/win32/english.related"
for exe in "$setup" "$files/vexlore.exe"; do
  res=$(i686-w64-mingw32-windres -i "$exe" -O rc)
  checkrun "version block" "$(basename "$exe"): $(grep -o 'FILEVERSION.*' <<<"$res" | head -1)" \
    grep -q "VALUE \"ProductVersion\", \"$version\"" <<<"$res"
done
checkrun "manifest" "vexlore.exe: asInvoker, DPI aware, 4 supported OS entries" manifest "$res"
echo "installer: $(stat -c %s "$setup") bytes"
took

xvfb_start

step "the zip unpacked into a folder with spaces and 'ñ' in its path"
fresh_prefix win32 "$work/prefix-zip"
unpacked="$WINEPREFIX/drive_c/Mis juegos/Año nuevo"
mkdir -p "$unpacked"
unzip -q "$zip" -d "$unpacked"
drive "C:\\Mis juegos\\Año nuevo\\$name"
wineserver -w || true
took

# The installer in a fresh prefix of architecture $1, into its program
# folder $2, with the uninstall key in the registry view $3.
installtest() {
  local arch=$1 programs=$2 key=$3
  step "the installer in a $arch prefix: install"
  fresh_prefix "$arch" "$work/prefix-$arch"
  local dir="$WINEPREFIX/drive_c/$programs/Vexlore"
  local lnk="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vexlore.lnk"
  # system.reg writes each backslash of a key's name twice
  local keyline
  keyline="[$(printf '%s' "$key\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vexlore" |
              sed 's/\\/\\\\/g')]"
  "$loader" "$setup" /S
  wineserver -w || true
  local installed
  installed=$(cd "$dir" 2>/dev/null && find . -mindepth 1 -maxdepth 1 -printf '%f\n' | LC_ALL=C sort | tr '\n' ' ')
  checkrun "files" "C:\\$programs\\Vexlore: $installed" \
    test "$installed" = "$(printf '%s\n' "${shipped[@]}" uninstall.exe | LC_ALL=C sort | tr '\n' ' ')"
  checkrun "shortcut" "${lnk#"$WINEPREFIX/drive_c/"}" test -f "$lnk"
  checkrun "uninstall key" "in system.reg" grep -q -F "$keyline" "$WINEPREFIX/system.reg"
  took

  step "the installer in a $arch prefix: the program started through its shortcut"
  local pictures=()
  [ "$arch" = win32 ] && pictures=("$shots")
  drive "C:\\$programs\\Vexlore" \
    "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Vexlore.lnk" "${pictures[@]}"
  wineserver -w || true
  took

  step "the installer in a $arch prefix: silent uninstall"
  "$loader" "C:\\$programs\\Vexlore\\uninstall.exe" /S
  # It returns at once and works on from a copy of itself in a folder
  # ~nsuN.tmp in the temporary folder, and leaves the copy to be deleted
  # when Windows next starts: wait for the copy to end, then restart the
  # prefix. The folder was to go first, while it still held the copy, so
  # it stays behind, empty.
  wineserver -w || true
  local users=$WINEPREFIX/drive_c/users temp left
  temp=$(cd "$users" && find . -path '*/~nsu*.tmp/*' -type f)
  "$loader" wineboot -r >/dev/null 2>&1 || true
  wineserver -w || true
  left=$(cd "$users" && find . -path '*/~nsu*.tmp/*' -type f)
  checkrun "uninstaller's copy" "${temp:-none}; after a restart: ${left:-gone}" test -z "$left"
  checkrun "files" "C:\\$programs\\Vexlore is gone" test ! -e "$dir"
  checkrun "shortcut" "gone" test ! -e "$lnk"
  checkrun "uninstall key" "gone from system.reg" not grep -q -F "$keyline" "$WINEPREFIX/system.reg"
  took
}

installtest win32 "Program Files" Software
if /usr/lib/wine/wine64 --version >/dev/null 2>&1; then
  installtest win64 "Program Files (x86)" "Software\\Wow6432Node"
else
  echo; echo "=== no wine64 here: the installer is not tried in a 64-bit prefix"
fi

# A user's second round with the installer: a word list of their own, a
# Vexlore that is running, a second folder. In C:\Vexlore: /D= and _?= take
# no quotes, so these paths have no spaces. _?= runs the uninstaller where
# it is, to its end, so its exit status is its own.
step "the installer over a list of the user's own, a running Vexlore, a second folder"
fresh_prefix win32 "$work/prefix-upgrade"
udir=$WINEPREFIX/drive_c/Vexlore
ukey=$(printf '%s' "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vexlore" | sed 's/\\/\\\\/g')
installed_at() { grep -A20 -F "[$ukey]" "$WINEPREFIX/system.reg" | grep -q -F "\"InstallLocation\"=\"$1\""; }
status=0; "$loader" "$setup" /S '/D=C:\Vexlore' || status=$?
wineserver -w || true
checkrun "install in C:\\Vexlore" "exit status $status" test "$status" -eq 0 -a -f "$udir/vexlore.exe"
printf 'mine\r\n' >"$udir/words"
status=0; "$loader" "$setup" /S || status=$?     # no /D: the install there, upgraded
wineserver -w || true
checkrun "reinstall: the user's words kept" "exit status $status, words: $(head -c 20 "$udir/words" | tr -d '\r')" \
  test "$status" -eq 0 -a "$(tr -d '\r' <"$udir/words")" = mine
checkrun "reinstall: ours beside them" "words.shipped is the shipped list" cmp -s "$udir/words.shipped" "$files/words"
status=0; "$loader" "$setup" /S '/D=C:\B\Vexlore' || status=$?
wineserver -w || true
checkrun "second folder refused" "exit status $status; C:\\B $([ -e "$WINEPREFIX/drive_c/B" ] && echo made || echo not made)" \
  test "$status" -ne 0 -a ! -e "$WINEPREFIX/drive_c/B"
checkrun "second folder refused: the first install's key" "InstallLocation C:\\Vexlore" installed_at 'C:\\Vexlore'
took

"$loader" 'C:\Vexlore\vexlore.exe' &
running=$!
sleep 4
status=0; "$loader" 'C:\Vexlore\uninstall.exe' /S '_?=C:\Vexlore' || status=$?
left=$(cd "$udir" && LC_ALL=C ls | tr '\n' ' ')
checkrun "uninstall while Vexlore runs: refused" "exit status $status; C:\\Vexlore: $left" \
  test "$status" -ne 0 -a -f "$udir/vexlore.exe" -a -f "$udir/words.shipped"
checkrun "uninstall while Vexlore runs: the key stays" "InstallLocation C:\\Vexlore" installed_at 'C:\\Vexlore'
kill "$running" 2>/dev/null || true
wait "$running" 2>/dev/null || true
wineserver -w || true
status=0; "$loader" 'C:\Vexlore\uninstall.exe' /S '_?=C:\Vexlore' || status=$?
wineserver -w || true
left=$(cd "$udir" && LC_ALL=C ls | tr '\n' ' ')
# the uninstaller run in place cannot remove itself
checkrun "uninstall: the user's words stay, the rest goes" "exit status $status; C:\\Vexlore: $left" \
  test "$status" -eq 0 -a "$left" = "uninstall.exe words " -a "$(tr -d '\r' <"$udir/words")" = mine
checkrun "uninstall: the key goes" "gone from system.reg" eval '! grep -q -F "[$ukey]" "$WINEPREFIX/system.reg"'
took

# the prefixes are large; a failed test leaves them to look into
[ "$failed" -ne 0 ] || rm -rf "$work"/prefix-*
echo
echo "package-test: $failed failed; screenshot $shots/installed.png"
[ "$failed" -eq 0 ]
