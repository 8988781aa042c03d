# shellcheck shell=bash
# Sourced by the scripts and benchmarks: what several of them do, written
# once. Defines functions only; sets nothing else.

# apt_update NAME: reads the package indexes; NAME is the calling script,
# for its messages. An index that fails to download (a mirror caught
# mid-sync, say) is no reason to stop: apt-get goes on with the others,
# and the install says whether what is needed was among them.
apt_update() {
  as_root apt-get update -qq ||
    echo "$1: some package indexes could not be read; going on with the rest" >&2
}
# apt_install NAME PACKAGE...: reads the indexes and installs the packages.
apt_install() {
  local name=$1
  shift
  echo "$name: installing $*"
  apt_update "$name"
  apt_get_install "$@"
}
# apt-get install, quiet, without recommended packages, as root or
# through sudo; apt-get's own options may come first.
apt_get_install() {
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}
# Runs a command as root, through sudo if need be.
as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# True when the kernel runs 32-bit x86 code: a five-instruction program
# that exits with status 7, made with the assembler that comes with g++.
# Where it cannot run, neither can the 32-bit Wine. Without an assembler
# it cannot tell, and says yes.
runs32() {
  local dir ok=1 rc=0
  command -v as >/dev/null && command -v ld >/dev/null || return 0
  dir=$(mktemp -d)
  # shellcheck disable=SC2016 # assembly, not shell
  printf '.globl _start\n_start: mov $1, %%eax\n mov $7, %%ebx\n int $0x80\n' >"$dir/t.s"
  if as --32 "$dir/t.s" -o "$dir/t.o" 2>/dev/null && ld -m elf_i386 "$dir/t.o" -o "$dir/t" 2>/dev/null; then
    "$dir/t" 2>/dev/null || rc=$?
    [ $rc -eq 7 ] && ok=0
  fi
  rm -rf "$dir"
  return $ok
}

# native_build TOP BUILD [TARGET...]: configures (Release) and builds the
# native tree BUILD/native, only the targets given if any; the build's
# output goes to BUILD/native/build.log and is shown when it fails.
native_build() {
  local top=$1 tree=$2/native targets=()
  shift 2
  for t in "$@"; do targets+=(--target "$t"); done
  mkdir -p "$tree"
  if ! { cmake -S "$top" -B "$tree" -DCMAKE_BUILD_TYPE=Release &&
         cmake --build "$tree" -j "$(nproc)" "${targets[@]}"; } >"$tree/build.log" 2>&1; then
    cat "$tree/build.log" >&2
    return 1
  fi
}

# xvfb_launch SIZE: starts Xvfb at SIZE (WxHxDEPTH) on a free display
# number, which it picks itself and says; sets xvfb_pid, and xvfb_display
# once the server is up. FALSE, with a message and no server left, if it
# did not start. The server does not reset when its last client leaves:
# a client that only reads a property of the root window (the AT-SPI
# library finding its bus) would otherwise reset it just as the window
# being tested connects, and that window would find no display.
xvfb_launch() {
  local numfile
  numfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp -noreset 3>"$numfile" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$numfile" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$numfile" ]; then
    rm -f "$numfile"
    kill "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
    echo "Xvfb did not start" >&2
    return 1
  fi
  # shellcheck disable=SC2034 # read by the callers
  xvfb_display=:$(head -n 1 "$numfile")
  rm -f "$numfile"
}

# The median of the numbers on standard input, one a line.
median() { sort -g | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }

# The Debian anagram generators the benchmarks compare with, an and
# wordplay, installed where missing (as root; else they are left out).
peers_install() {
  local p
  for p in an wordplay; do
    [ -x /usr/games/$p ] || { [ "$(id -u)" -eq 0 ] && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $p >/dev/null; }
  done
}
