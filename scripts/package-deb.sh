#!/bin/bash
# Builds the Debian package build/package/vexlore_VERSION-REVISION_ARCH.deb
# with Debian's own tools (debian/, dpkg-buildpackage, debhelper) from a
# copy of the source tree in build/deb/, where the build's other outputs
# (.buildinfo, .changes, the debug symbols' package) stay. The version is
# CMake's project version; debian/changelog must have an entry for it.
# scripts/package.sh runs it after the Windows packages.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXLORE_BUILD:-$top/build}
out=$build/package
work=$build/deb

version=$(sed -n 's/^project(vexlore VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")
debversion=$(dpkg-parsechangelog -l "$top/debian/changelog" -S Version)
if [ -z "$version" ] || [ "${debversion%-*}" != "$version" ]; then
  echo "package-deb: CMake's project() says version '$version', debian/changelog" \
       "'$debversion': add a changelog entry for $version (dch -v $version-1)" >&2
  exit 1
fi

# dpkg-buildpackage writes beside the source folder: a copy of the tree as
# it is here, builds and Git's files left out
src=$work/vexlore-$version
rm -rf "$work"
mkdir -p "$src" "$out"
tar -C "$top" --exclude=./build --exclude=./.git -cf - . | tar -C "$src" -xf -

log=$work/build.log
if ! (cd "$src" && DEB_BUILD_OPTIONS="parallel=$(nproc)" \
      dpkg-buildpackage --build=binary --no-sign) >"$log" 2>&1; then
  tail -40 "$log" >&2
  echo "package-deb: dpkg-buildpackage failed; the whole log is $log" >&2
  exit 1
fi
deb=vexlore_${debversion}_$(dpkg --print-architecture).deb
mv "$work/$deb" "$out/$deb"
echo "package-deb: $out/$deb ($(du -k "$out/$deb" | cut -f1)K)"
