#!/bin/bash
# The Debian package as a user meets it, on a fresh Debian 12 system
# (scripts/fresh-check.sh runs this inside one, as root): installed with
# apt-get from the file, its dependencies from the package registry;
# vexlore-find from PATH, and its bash completion; the window started through its desktop entry's
# Exec under Xvfb, through the AT-SPI smoke check; its manual page; and
# apt-get purge, after which the system holds the files it held before.
# Prints a line per check; exits non-zero when a check fails.
# usage: deb-install-test.sh FILE.deb GTKCHECK.py OUTDIR
set -uo pipefail
deb=$1 gtkcheck=$2 out=$3
mkdir -p "$out"
export DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8

# shellcheck source=check.sh
source "$(dirname "$0")/check.sh"
step() { echo; echo "=== $*"; }

# What the smoke check and the screenshot need, which are no part of the
# package: installed first, so that they are in the "before" list too.
step "the test's own tools"
apt-get update -qq || echo "deb-install-test: some package indexes could not be read; going on with the rest"
apt-get install -y -qq --no-install-recommends python3 python3-gi gir1.2-atspi-2.0 \
  at-spi2-core dbus xvfb imagemagick man-db >"$out/tools.log" 2>&1 ||
  { tail -20 "$out/tools.log"; echo "deb-install-test: the test's tools could not be installed"; exit 1; }

# Every file and link of the system but the ones that change by
# themselves: apt's and dpkg's own records and caches, logs, caches
# (man-db's index, fontconfig's), home and scratch folders, and the icon
# themes' caches, which GTK's trigger makes for a theme another package
# holds (checked below for the package's icons instead).
files() {
  find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /run -o -path /tmp \
       -o -path /root -o -path /var/cache -o -path /var/log -o -path /var/lib/apt \
       -o -path /var/lib/dpkg -o -path /var/tmp -o -path /var/lib/systemd \
       -o -name icon-theme.cache \) -prune -o -print | sort
}
installed_packages() {
  dpkg-query -W -f='${db:Status-Status} ${Package}\n' | awk '$1 == "installed" { print $2 }' | sort
}
files >"$out/before.txt"
installed_packages >"$out/packages-before.txt"

step "apt-get install $deb"
apt-get install -y "$deb" >"$out/install.log" 2>&1
checkrun install "apt-get install resolves the dependencies from the registry and installs the package" \
  [ $? -eq 0 ]
tail -3 "$out/install.log"
checkrun depends "the GTK it needs came with it: $(dpkg-query -W -f='${Package} ${Version}' libgtk-3-0 2>&1)" \
  bash -c 'dpkg-query -W -f="\${Status}" libgtk-3-0 | grep -q "install ok installed"'
dpkg -L vexlore >"$out/owned.txt"

step "vexlore-find -m dirty room, from PATH"
found=$(command -v vexlore-find)
vexlore-find -m dirty room >"$out/find.txt" 2>&1
head -3 "$out/find.txt"
example() { [ "$found" = /usr/bin/vexlore-find ] &&
            [ "$(head -3 "$out/find.txt")" = "$(printf 'dirty moor \ndirty room \ndormitory ')" ]; }
checkrun finder "$found -m dirty room prints the example's lines" example

step "bash completion of vexlore-find"
# what the completion offers for the last word, one a line, from the file
# bash-completion loads for the command
completes() {
  bash -c 'source /usr/share/bash-completion/completions/vexlore-find
           COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _vexlore_find
           printf "%s\n" "${COMPREPLY[@]}"' _ "$@"
}
mkdir -p /tmp/complete && : >/tmp/complete/scrabble.txt
options=$(completes vexlore-find --li | tr '\n' ' ')
files=$(cd /tmp/complete && completes vexlore-find -w scr | tr '\n' ' ')
echo "--li: $options; -w scr: $files"
checkrun completion "bash completes vexlore-find --li to --limit, and -w scr to a file name" \
  [ "$options|$files" = "--limit |scrabble.txt " ]
rm -rf /tmp/complete

step "the window from its desktop entry's Exec, under Xvfb"
exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/vexlore.desktop)
echo "Exec=$exec_line"
numfile=$(mktemp)
# -noreset: see xvfb_launch in lib.sh
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset 3>"$numfile" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$numfile" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$numfile")
# shellcheck disable=SC2086  # Exec is a command line: its words split
dbus-run-session -- /usr/bin/python3 "$gtkcheck" smoke $exec_line >"$out/smoke.log" 2>&1
checkrun window "the AT-SPI smoke check of '$exec_line' (the worked example) passes" [ $? -eq 0 ]
grep -v "^dbus-daemon\[" "$out/smoke.log" | sed "s/^/    /" | tail -15
# a picture of the installed window after the example's search, for the eye
# (from a folder of links, where the check keeps the window's output: the
# window resolves the link and reads the list beside its file)
mkdir -p /tmp/show
ln -sf /usr/lib/vexlore/vexlore /tmp/show/vexlore
dbus-run-session -- /usr/bin/python3 "$gtkcheck" show /tmp/show "$out/installed.png" \
  "dirty room" >"$out/show.log" 2>&1 || echo "    (no picture of the window: see show.log)"
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
unset DISPLAY

step "man vexlore-find"
MANWIDTH=80 man vexlore-find >"$out/man.txt" 2>"$out/man.warnings"
head -24 "$out/man.txt"
checkrun man "man vexlore-find renders the page" \
  grep -q '^VEXLORE-FIND(1)' "$out/man.txt"

step "apt-get purge vexlore"
apt-get purge -y vexlore >"$out/purge.log" 2>&1
checkrun purge "apt-get purge vexlore" [ $? -eq 0 ]
# and what came with it: all of it, the packages that one installed before
# merely recommends too (shared-mime-info, whose database the lists would
# otherwise show)
apt-get autoremove --purge -y -o APT::AutoRemove::RecommendsImportant=false \
  -o APT::AutoRemove::SuggestsImportant=false >>"$out/purge.log" 2>&1
left=$(while read -r f; do if [ -f "$f" ] || [ -L "$f" ]; then echo "$f"; fi; done <"$out/owned.txt"
       for d in /usr/lib/vexlore /usr/share/doc/vexlore; do [ ! -e "$d" ] || echo "$d"; done)
files >"$out/after.txt"
# What the purge changed against the list from before the install: files
# gone, and files come that no installed package holds (a package kept
# holds its own, and is named).
installed_packages >"$out/packages-after.txt"
dpkg-query -L $(cat "$out/packages-after.txt") 2>/dev/null | sort -u >"$out/held.txt"
comm -23 "$out/before.txt" "$out/after.txt" | sed 's/^/gone: /' >"$out/purge-diff.txt"
comm -13 "$out/before.txt" "$out/after.txt" | comm -23 - "$out/held.txt" | sed 's/^/left: /' >>"$out/purge-diff.txt"
kept=$(comm -13 "$out/packages-before.txt" "$out/packages-after.txt" | tr '\n' ' ')
[ -z "$kept" ] || echo "    packages that came with vexlore and stay: $kept"
sed 's/^/    /' "$out/purge-diff.txt" | head -20
[ -z "$left" ] || echo "$left" | sed 's/^/    left: /'
checkrun purge-files "none of the package's files is left" [ -z "$left" ]
nocache() { ! grep -l vexlore /usr/share/icons/*/icon-theme.cache 2>/dev/null; }
checkrun purge-icons "no icon theme's cache names the package's icon" nocache
checkrun purge-system "the system holds the files it held before the install, but for those of packages still installed" \
  [ ! -s "$out/purge-diff.txt" ]

echo
echo "deb-install-test: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
