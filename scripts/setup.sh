#!/bin/bash
# Installs what building and testing Vexlore needs, on Debian 12, with
# apt-get; only what is missing. Runs as root (or through sudo). With
# --window, only what the Linux window needs to be built and shown (run.sh);
# with --window-shot, that and a virtual display to take its picture on.
#
# The 32-bit Wine (wine32:i386) needs the i386 twin of every amd64 library
# it shares, at the same version. Where the registry's i386 index of the
# security updates cannot be read, the security updates installed for
# amd64 have no twin, and apt-get refuses. Then, with --allow-downgrades,
# or CI=true, or VEXLORE_WINE32_DOWNGRADES=1, those libraries change to the
# newest version both architectures offer, each change printed; without,
# it prints what it would change and goes on without the 32-bit Wine.
# usage: scripts/setup.sh [--allow-downgrades | --window | --window-shot]
set -euo pipefail
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

downgrades=${VEXLORE_WINE32_DOWNGRADES:-}
[ "${CI:-}" = true ] && downgrades=1
# the Linux window (Best first: the model and WordNet it is made from), and
# its picture on a display of its own
window=(cmake make g++ pkg-config libgtk-3-dev scowl fonts-dejavu-core pocketsphinx-en-us wordnet-base)
shot=(xvfb openbox x11-utils dbus at-spi2-core python3-gi gir1.2-atspi-2.0 gir1.2-gtk-3.0 imagemagick)

only=()
case ${1:-} in
  "") ;;
  --allow-downgrades) downgrades=1 ;;
  --window) only=("${window[@]}") ;;
  --window-shot) only=("${window[@]}" "${shot[@]}") ;;
  *) echo "usage: scripts/setup.sh [--allow-downgrades | --window | --window-shot]" >&2; exit 2 ;;
esac
packages=(
  "${window[@]}" "${shot[@]}" python3-xlib
  # the Linux window's check in a right-to-left locale makes ar_EG.UTF-8
  locales
  libgtest-dev libbenchmark-dev wamerican
  g++-mingw-w64-i686 g++-mingw-w64-x86-64
  wine wine64
  xvfb xdotool imagemagick
  scowl
  # the model of English text that --best ranks by, and its reader from
  # Python for cross-checks of our own reader
  pocketsphinx-en-us python3-pocketsphinx
  # WordNet 3.0, which the relatedness file --best ranks by is made from
  wordnet-base
  nsis zip unzip libxml2-utils
  # what Wine only recommends but the window's tests need: its own fonts
  fonts-wine
  # the page: Emscripten, and the browser its test drives
  emscripten chromium chromium-driver python3-selenium
  # the Debian package: its tools and the checks of what it installs
  debhelper dpkg-dev fakeroot build-essential pkg-config libgtk-3-dev
  lintian desktop-file-utils appstream man-db
)
[ ${#only[@]} -eq 0 ] || packages=("${only[@]}")

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
updated=false
if [ ${#missing[@]} -gt 0 ]; then
  apt_install setup "${missing[@]}"
  updated=true
fi

# (asked only now: the assembler it needs comes with g++)
# the window alone needs no Wine
[ ${#only[@]} -eq 0 ] || exit 0
installed wine32:i386 && exit 0
if ! runs32; then
  echo "setup: this machine's kernel runs no 32-bit code: no 32-bit Wine; the Windows tests will run the 64-bit build under wine64"
  exit 0
fi

# Prints "NAME INSTALLED COMMON" for each amd64 library of the Multi-Arch:
# same kind that the 32-bit Wine needs an i386 twin of and whose installed
# version no i386 index offers; COMMON is the newest version both
# architectures offer, or "-" if none.
twinless() {
  local needed have offered
  needed=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts \
             --no-breaks --no-replaces --no-enhances wine32:i386 2>/dev/null |
           sed -n 's/^\([^ <][^:]*\):i386$/\1/p' | sort -u)
  have=$(dpkg-query -W -f='${Package} ${Architecture} ${Multi-Arch} ${Version} ${db:Status-Abbrev}\n' |
         awk '$2 == "amd64" && $3 == "same" && $5 ~ /^ii/ { print $1, $4 }' | sort)
  have=$(join <(echo "$needed") <(echo "$have"))
  [ -n "$have" ] || return 0
  # every version the indexes offer: "NAME ARCH VERSION", one call for all
  # shellcheck disable=SC2046 # a name a word
  offered=$(apt-cache madison $(awk '{ print $1 ":amd64", $1 ":i386" }' <<<"$have") 2>/dev/null |
            awk -F' [|] ' '{ gsub(/ /, "", $1); gsub(/ /, "", $2); sub(/:.*/, "", $1)
                            n = split($3, f, " "); print $1, f[n - 1], $2 }')
  local name version common v
  while read -r name version; do
    if grep -qxF "$name i386 $version" <<<"$offered"; then
      echo "$name $version $version"
      continue
    fi
    common=
    while read -r v; do
      grep -qxF "$name amd64 $v" <<<"$offered" || continue
      if [ -z "$common" ] || dpkg --compare-versions "$v" gt "$common"; then common=$v; fi
    done < <(awk -v n="$name" '$1 == n && $2 == "i386" { print $3 }' <<<"$offered")
    echo "$name $version ${common:--}"
  done <<<"$have"
}

# The 32-bit Wine, past the missing twins; FALSE, having said why, if not.
wine32_twins() {
  local twins name version common pins=() lowered=0 changes=()
  twins=$(twinless)
  # A library's siblings built with it (its -dev package, say) want its
  # very version: they go along, where their source made the new one.
  local installed sibling offered src
  installed=$(dpkg-query -W -f='${Package} ${Architecture} ${source:Package} ${Version} ${db:Status-Abbrev}\n' |
              awk '$2 == "amd64" && $5 ~ /^ii/ { print $1, $3, $4 }')
  change() {  # change NAME OLD NEW
    changes+=("  $1:amd64 $2 -> $3")
    if dpkg --compare-versions "$3" lt "$2"; then
      lowered=1
      changes[-1]+=" (downgrade)"
    fi
  }
  while read -r name version common; do
    [ -n "$name" ] || continue
    if [ "$common" = - ]; then
      echo "setup: no version of $name is offered for both amd64 and i386 (amd64 has $version)" >&2
      return 1
    fi
    pins+=("$name:amd64=$common" "$name:i386=$common")
    [ "$common" = "$version" ] && continue
    change "$name" "$version" "$common"
    src=$(awk -v p="$name" '$1 == p { print $2 }' <<<"$installed")
    while read -r sibling; do
      awk -v p="$sibling" '$1 == p { f = 1 } END { exit !f }' <<<"$twins" && continue
      [[ " ${pins[*]} " = *" $sibling:amd64="* ]] && continue
      offered=$(apt-cache madison "$sibling:amd64" 2>/dev/null | awk -F' [|] ' '{ gsub(/ /, "", $2); print $2 }')
      grep -qxF "$common" <<<"$offered" || continue
      pins+=("$sibling:amd64=$common")
      change "$sibling" "$version" "$common"
    done < <(awk -v s="$src" -v v="$version" '$2 == s && $3 == v { print $1 }' <<<"$installed")
  done <<<"$twins"
  if [ ${#changes[@]} -eq 0 ]; then
    echo "setup: apt-get refused wine32:i386, and not for a library without an i386 twin" >&2
    return 1
  fi
  if [ $lowered -eq 1 ] && [ -z "$downgrades" ]; then
    echo "setup: amd64 libraries have no i386 twin at their version (the registry's i386 index of" >&2
    echo "  the security updates may have failed to download); the 32-bit Wine needs:" >&2
    printf '%s\n' "${changes[@]}" >&2
    echo "  setup makes downgrades of security updates only when asked:" >&2
    echo "  scripts/setup.sh --allow-downgrades, or VEXLORE_WINE32_DOWNGRADES=1 (CI=true does it too)" >&2
    return 1
  fi
  # never at the cost of a package
  local plan removed auto
  plan=$(as_root apt-get install -s --no-install-recommends --allow-downgrades "${pins[@]}" wine32:i386 2>&1) || {
    echo "setup: even with the i386 twins apt-get cannot install wine32:i386:" >&2
    grep '^ \|^E:' <<<"$plan" | head -8 >&2
    return 1
  }
  removed=$(sed -n 's/^Remv \([^ ]*\).*/\1/p' <<<"$plan" | sort -u | tr '\n' ' ')
  if [ -n "$removed" ]; then
    echo "setup: giving the 32-bit Wine its i386 twins would remove $removed; not done" >&2
    return 1
  fi
  echo "setup: the 32-bit Wine needs the i386 twin of amd64 libraries whose version no i386 index"
  echo "  offers; each goes to the newest version both architectures have:"
  printf '%s\n' "${changes[@]}"
  auto=$(apt-mark showauto)
  apt_get_install --allow-downgrades "${pins[@]}" wine32:i386 || return 1
  # naming them made them installed by hand: the i386 twins came for Wine,
  # and each amd64 library stays as it was
  local p again=()
  for p in "${pins[@]%%=*}"; do
    case $p in
      *:i386) again+=("$p") ;;
      *) grep -qxF "${p%:amd64}" <<<"$auto" && again+=("$p") ;;
    esac
  done
  as_root apt-mark auto "${again[@]}" >/dev/null
}

# The 32-bit Wine runs the 32-bit programs as shipped; without it the
# tests run the 64-bit build under wine64, so a failure here is a warning.
echo "setup: installing wine32:i386"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
  apt_update setup
elif ! $updated; then
  apt_update setup
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! apt_get_install wine32:i386 2>"$log"; then
  grep -v '^ ' "$log" | head -5 >&2
  if grep -q -e "generated breaks" -e "unmet dependencies" "$log" && wine32_twins; then
    exit 0
  fi
  echo "setup: the 32-bit Wine (wine32:i386) could not be installed, though this machine runs 32-bit code;" >&2
  echo "  the Windows tests will run the 64-bit build under wine64, and the 32-bit programs as shipped go untested" >&2
fi
