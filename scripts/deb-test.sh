#!/bin/bash
# The Debian package that scripts/package.sh wrote, checked as Debian's
# tools see it: the files it holds (dpkg-deb -c), lintian with no error or
# warning, the desktop entry, the AppStream metadata and the manual pages
# under their validators, the version everywhere CMake's, the copyright
# file's licence texts the project's, the dependencies worked out, and
# vexlore-find run through its /usr/bin link from the unpacked package.
# Prints a line per check; exits non-zero when a check fails.
# usage: scripts/deb-test.sh [FILE.deb]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXLORE_BUILD:-$top/build}
version=$(sed -n 's/^project(vexlore VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")
deb=${1:-$build/package/vexlore_$version-1_$(dpkg --print-architecture).deb}
work=$build/deb-test
rm -rf "$work"
mkdir -p "$work"

# shellcheck source=check.sh
source "$top/scripts/check.sh"
same() {  # same FILE-EXPECTED FILE-ACTUAL: equal, or the difference shown
  diff -u "$1" "$2" >"$work/diff" || { sed 's/^/    /' "$work/diff"; return 1; }
}

echo "deb-test: $deb"
dpkg-deb -c "$deb" | tee "$work/contents.txt"

# what it holds: type, mode and owner, path (and a link's target); the
# directories follow from the files
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { $3 = $4 = $5 = ""; print }' | tr -s ' ' | sort >"$work/files"
{
  for f in vexlore vexlore-find; do
    echo "-rwxr-xr-x root/root ./usr/lib/vexlore/$f"
    echo "lrwxrwxrwx root/root ./usr/bin/$f -> ../lib/vexlore/$f"
    echo "-rw-r--r-- root/root ./usr/share/man/man1/$f.1.gz"
  done
  echo "-rw-r--r-- root/root ./usr/lib/vexlore/words"
  echo "-rw-r--r-- root/root ./usr/share/bash-completion/completions/vexlore-find"
  echo "-rw-r--r-- root/root ./usr/lib/vexlore/english.model"
  echo "-rw-r--r-- root/root ./usr/lib/vexlore/english.related"
  echo "-rw-r--r-- root/root ./usr/share/applications/vexlore.desktop"
  echo "-rw-r--r-- root/root ./usr/share/metainfo/org.example.vexlore.metainfo.xml"
  for n in 16 32 48 64 128 256; do
    echo "-rw-r--r-- root/root ./usr/share/icons/hicolor/${n}x$n/apps/vexlore.png"
  done
  echo "-rw-r--r-- root/root ./usr/share/doc/vexlore/changelog.Debian.gz"
  echo "-rw-r--r-- root/root ./usr/share/doc/vexlore/copyright"
  echo "-rw-r--r-- root/root ./usr/share/lintian/overrides/vexlore"
} | sort >"$work/want"
checkrun contents "dpkg-deb -c lists the programs, the list, the model and the relatedness file in /usr/lib/vexlore, their /usr/bin links, the menu entry, metadata, icons, manual pages, bash completion and documents, and nothing else" \
  same "$work/want" "$work/files"

x=$work/root
dpkg-deb -x "$deb" "$x"
field() { dpkg-deb -f "$deb" "$1"; }
checkrun version "the package's version is CMake's project version $version" [ "$(field Version)" = "$version-1" ]
checkrun depends "the dependencies worked out by dpkg-shlibdeps: $(field Depends)" \
  grep -q 'libgtk-3-0' <<<"$(field Depends)"

lintian --info "$deb" >"$work/lintian.txt" 2>&1 || true
sed 's/^/    /' "$work/lintian.txt"
checkrun lintian "no error or warning (overrides: usr/share/lintian/overrides/vexlore)" \
  bash -c '! grep -E "^[EW]:" "$1"' _ "$work/lintian.txt"

checkrun desktop "desktop-file-validate finds nothing in the menu entry" \
  bash -c '[ -z "$(desktop-file-validate "$1" 2>&1)" ]' _ "$x/usr/share/applications/vexlore.desktop"
meta=$x/usr/share/metainfo/org.example.vexlore.metainfo.xml
appstreamcli validate --no-net --pedantic "$meta" >"$work/appstream.txt" 2>&1 || true
sed 's/^/    /' "$work/appstream.txt"
checkrun appstream "appstreamcli validate passes the metadata with no remark, even pedantic" \
  bash -c '[ "$(cat "$1")" = "✔ Validation was successful." ]' _ "$work/appstream.txt"
checkrun appstream-release "the metadata's release is version $version" \
  grep -q "<release version=\"$version\"" "$meta"

for page in vexlore vexlore-find; do
  gz=$x/usr/share/man/man1/$page.1.gz
  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$gz" >"$work/$page.txt" 2>"$work/$page.warnings" || true
  sed 's/^/    /' "$work/$page.warnings"
  checkrun "man $page" "man --warnings renders it with no warning" \
    bash -c '[ -s "$1" ] && [ ! -s "$2" ]' _ "$work/$page.txt" "$work/$page.warnings"
  checkrun "man $page version" "its header names Vexlore $version" \
    bash -c 'zcat "$1" | grep -q "^\.TH .* \"Vexlore $2\""' _ "$gz" "$version"
done

# a DEP-5 licence paragraph's text, as it was before it was indented
licence() {
  awk -v n="License: $2" '$0 == n { on = 1; next } on && !/^ / { on = 0 } on' "$1" |
    sed -e 's/^ //' -e 's/^\.$//'
}
copyright=$x/usr/share/doc/vexlore/copyright
sed -n '/^Copyright/,$p' "$top/LICENSE" | sed 1d | sed '/./,$!d' >"$work/expat"
checkrun copyright-expat "the copyright file's Expat licence is LICENSE's" \
  same "$work/expat" <(licence "$copyright" Expat)
sed 's/[[:space:]]*$//' "$top/tools/words-copyright.txt" >"$work/scowl"
checkrun copyright-scowl "the copyright file's SCOWL licence is tools/words-copyright.txt" \
  same "$work/scowl" <(licence "$copyright" SCOWL)
sed -n '/^This software and database/,$p' "$top/tools/related-copyright.txt" >"$work/wordnet"
checkrun copyright-wordnet "the copyright file's WordNet licence is tools/related-copyright.txt's" \
  same "$work/wordnet" <(licence "$copyright" WordNet-3.0)

# the finder through its link, as a user's PATH finds it: the list beside
# the link's target
printf 'dirty moor \ndirty room \ndormitory \n' >"$work/example"
checkrun finder "usr/bin/vexlore-find -m dirty room, unpacked, reads usr/lib/vexlore/words" \
  same "$work/example" <("$x/usr/bin/vexlore-find" -m dirty room | head -3)

printf 'dirty room \n' >"$work/best"
checkrun best "usr/bin/vexlore-find --best=1 dormitory reads usr/lib/vexlore/english.model" \
  same "$work/best" <("$x/usr/bin/vexlore-find" --best=1 dormitory)

echo "deb-test: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
