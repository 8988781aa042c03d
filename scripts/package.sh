#!/bin/bash
# Builds what a Windows user downloads, from the 32-bit Windows tree:
#   build/package/vexlore-VERSION-win32.zip   the portable folder, zipped
#   build/package/vexlore-VERSION-setup.exe   its installer (NSIS)
# and then, with scripts/package-deb.sh, what a Debian user installs:
#   build/package/vexlore_VERSION-1_ARCH.deb  the GTK window, vexlore-find
#                                             and the list, from debian/
# and nothing else in build/package. The version is CMake's project
# version; the folder the zip holds is kept in build/package-files.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXLORE_BUILD:-$top/build}
tree=$build/win32
out=$build/package

bash "$top/scripts/setup.sh"

if [ ! -f "$tree/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$tree" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" >/dev/null
fi
mkdir -p "$tree"
if ! cmake --build "$tree" -j "$(nproc)" --target vexlore vexlore-find wordlist model related \
     >"$tree/package-build.log" 2>&1; then
  cat "$tree/package-build.log" >&2
  exit 1
fi

version=$(cat "$tree/version.txt")
name=vexlore-$version
files=$build/package-files/$name
rm -rf "$out" "$build/package-files"
mkdir -p "$out" "$files"

# Text files get Windows line ends, for Notepad.
crlf() { sed 's/\r*$/\r/' "$1" >"$2"; }
sed "s/@VERSION@/$version/g" "$top/packaging/README.txt" >"$files/README.tmp"
crlf "$files/README.tmp" "$files/README.txt"
rm "$files/README.tmp"
crlf "$top/LICENSE" "$files/LICENSE.txt"
crlf "$top/tools/words-copyright.txt" "$files/words-copyright.txt"
crlf "$top/tools/model-copyright.txt" "$files/model-copyright.txt"
crlf "$top/tools/related-copyright.txt" "$files/related-copyright.txt"
cp "$tree/words" "$files/words"
# the packages always hold the model: setup.sh installs what it is made of
if [ ! -f "$tree/english.model" ]; then
  echo "package: no $tree/english.model: is pocketsphinx-en-us installed?" >&2
  exit 1
fi
cp "$tree/english.model" "$files/english.model"
if [ ! -f "$tree/english.related" ]; then
  echo "package: no $tree/english.related: is wordnet-base installed?" >&2
  exit 1
fi
cp "$tree/english.related" "$files/english.related"
for exe in vexlore.exe vexlore-find.exe; do
  i686-w64-mingw32-strip -o "$files/$exe" "$tree/$exe"
  # statically linked: only DLLs that come with every Windows
  extra=$(i686-w64-mingw32-objdump -p "$files/$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' |
          grep -v -x -E 'kernel32\.dll|user32\.dll|gdi32\.dll|comctl32\.dll|advapi32\.dll|msvcrt\.dll' || true)
  if [ -n "$extra" ]; then
    echo "package: $exe needs DLLs Windows does not ship:" $extra >&2
    exit 1
  fi
done

(cd "$build/package-files" && zip -q -X "$out/$name-win32.zip" "$name/" "$name"/*)
# the installer tells its own list from one the user put there by this
words_md5=$(md5sum <"$files/words" | cut -d' ' -f1)
makensis -V2 -DVERSION="$version" -DFILES="$files" -DICON="$top/resources/vexlore.ico" \
  -DOUT="$out/$name-setup.exe" -DWORDS_MD5="$words_md5" "$top/packaging/vexlore.nsi"

bash "$top/scripts/package-deb.sh"

echo "package: $(cd "$out" && ls -s --block-size=K -1 | sed 1d | tr '\n' ' ')in $out"
