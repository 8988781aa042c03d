#!/bin/bash
# The README's promise, checked on a fresh Debian 12 system: makes one with
# debootstrap (minbase) in a scratch folder, copies into it a clean clone of
# the commit checked out here (uncommitted changes stay out) and the folder
# ../shared beside the repository, and runs the README's two commands there
# as a new user would: the test command, then the run command with no
# display. Says how each ended and how long it took. The test command runs
# with --require-win32 wherever the kernel runs 32-bit code: there a fresh
# system that cannot test the 32-bit programs as shipped fails the check.
#
# Needs root and Debian's package registry; takes some six minutes or
# more. The minbase system is kept as a tarball in build/fresh-check/ and
# unpacked anew for every run, so each run starts from the same pristine
# system; --new makes it again with debootstrap. The system's mounts (/proc,
# /sys, /dev) exist only in a mount namespace of the commands' own, which
# ends with them, so none is ever left in the scratch tree. Logs, and the
# window's screenshots from the test command, stay in build/fresh-check/.
#
# Then the Debian package that the test command built, on a fresh system
# of its own unpacked from the same tarball (scripts/deb-install-test.sh):
# installed with apt-get, used, purged. --deb FILE.deb checks only that,
# with the given package and this tree's tests/gtk.
# usage: scripts/fresh-check.sh [--new] [--deb FILE.deb]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=lib.sh
source "$top/scripts/lib.sh"
work=${VEXLORE_BUILD:-$top/build}/fresh-check
root=$work/root
suite=bookworm
cache=$work/minbase-$suite-$(dpkg --print-architecture).tar
new=false
debonly=
while [ $# -gt 0 ]; do
  case $1 in
    --new) new=true ;;
    --deb) [ $# -ge 2 ] && [ -f "$2" ] || { echo "fresh-check: --deb needs a .deb file" >&2; exit 2; }
           debonly=$(realpath "$2"); shift ;;
    *) echo "usage: scripts/fresh-check.sh [--new] [--deb FILE.deb]" >&2; exit 2 ;;
  esac
  shift
done

if [ "$(id -u)" -ne 0 ]; then
  echo "fresh-check: needs root (debootstrap, chroot and mounts)" >&2
  exit 2
fi
need=()
command -v debootstrap >/dev/null || need+=(debootstrap)
command -v git >/dev/null || need+=(git)
if [ ${#need[@]} -gt 0 ]; then
  echo "fresh-check: installing ${need[*]}"
  apt_install fresh-check "${need[@]}"
fi

# The mount points under the scratch tree that this namespace sees: none,
# but for a fault.
mounted() {
  awk -v r="$root" '$5 == r || index($5, r "/") == 1 { print $5 }' /proc/self/mountinfo
}

# Unmounts whatever is still mounted in the scratch tree; FALSE if
# something stays.
unmount_all() {
  local m
  for m in $(mounted | sort -r); do
    umount "$m" 2>/dev/null || umount -l "$m" || true
  done
  if [ -n "$(mounted)" ]; then
    echo "fresh-check: still mounted in $root:" >&2
    mounted >&2
    return 1
  fi
}

# Removes the scratch tree, but never through a mount point: if something
# stays mounted in it, the tree stays too.
remove_root() {
  [ -e "$root" ] || return 0
  unmount_all || { echo "fresh-check: $root left in place" >&2; return 1; }
  rm -rf --one-file-system "$root"
}

status=1
child=
# shellcheck disable=SC2317 # run by the EXIT trap
finish() {
  local rc=$?
  trap - EXIT INT TERM
  # a command still running in the system ends, and with it its namespace:
  # unshare waits for its child deaf to TERM and INT, and when it is killed
  # the kernel kills the child and every process of its namespace
  if [ -n "$child" ]; then
    kill -KILL "$child" 2>/dev/null || true
    wait "$child" 2>/dev/null || true
  fi
  if [ "$status" -eq 0 ]; then
    remove_root || rc=1
  elif [ -e "$root" ] && unmount_all; then
    echo "fresh-check: the system is kept in $root to look into; the next run removes it"
  fi
  exit "$rc"
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Runs a command in the fresh system as root, with a clean environment and
# no standard input, in a mount and process namespace of its own: /proc,
# /sys and /dev are mounted there only, and every process the command
# leaves behind (Wine's server, say) ends with it. It takes the place of
# the shell it runs in: start it in the background.
in_system() {
  # shellcheck disable=SC2016 # expanded by the inner shell
  exec unshare --mount --propagation private --pid --fork --kill-child -- \
    bash -c 'set -e; r=$1; shift
      mount -t proc proc "$r/proc"
      mount --rbind /sys "$r/sys"
      mount --rbind /dev "$r/dev"
      exec chroot "$r" /usr/bin/env -i HOME=/root TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"' \
    in_system "$root" "$@" </dev/null
}

clock() { date +%s; }
took() { local s=$(($(clock) - $1)); printf '%dm %02ds' $((s / 60)) $((s % 60)); }

mkdir -p "$work"
remove_root
head=$(git -C "$top" rev-parse HEAD)
echo "fresh-check: commit $(git -C "$top" log -1 --format='%h %s' HEAD)"
[ -z "$(git -C "$top" status --porcelain --untracked-files=no)" ] ||
  echo "fresh-check: uncommitted changes in $top are not part of the check"

# the fresh system: Debian 12 minbase, from the package registry this
# machine uses (else debootstrap's own default)
t=$(clock)
if $new || [ ! -f "$cache" ]; then
  # shellcheck disable=SC2016 # apt-get's own placeholders
  mirror=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 2>/dev/null |
           awk -v s="$suite" '$2 == s { print $1; exit }')
  echo "fresh-check: debootstrap --variant=minbase $suite ${mirror:-(default mirror)}"
  if ! debootstrap --variant=minbase "$suite" "$root" ${mirror:+"$mirror"} >"$work/debootstrap.log" 2>&1; then
    tail -20 "$work/debootstrap.log" >&2
    echo "fresh-check: debootstrap failed; see $work/debootstrap.log" >&2
    exit 1
  fi
  tar --numeric-owner -C "$root" -cf "$cache.tmp" .
  mv "$cache.tmp" "$cache"
  made="debootstrap"
else
  mkdir -p "$root"
  tar --numeric-owner -C "$root" -xpf "$cache"
  made="unpacked from build/fresh-check/$(basename "$cache"), made $(date -r "$cache" -u '+%F %H:%M UTC')"
fi
# the network as this machine reaches it
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
ready=$(took "$t")
echo "fresh-check: fresh system ($made) in $ready"

# The Debian package FILE.deb, installed, used and purged on a system
# unpacked anew, by SRC/scripts/deb-install-test.sh with SRC/tests/gtk's
# smoke check; its output is shown and kept in $work/deb.log, its files
# (the window's picture, the rendered manual page, the file lists) in
# $work/deb/. Sets deb_result and deb_time. usage: deb_check FILE.deb SRC
deb_check() {
  local t rc=0 in=$work/deb-in
  echo
  echo "=== fresh-check: the Debian package $(basename "$1"), installed, used and purged"
  t=$(clock)
  rm -rf "$in" "$work/deb"
  mkdir -p "$in"
  cp "$1" "$2/scripts/deb-install-test.sh" "$2/scripts/check.sh" "$in/"
  cp -r "$2/tests/gtk" "$in/gtk" 2>/dev/null || echo "fresh-check: no $2/tests/gtk: the smoke check cannot run"
  cp "$2/tests/expect.py" "$in/" 2>/dev/null || true
  remove_root
  mkdir -p "$root"
  tar --numeric-owner -C "$root" -xpf "$cache"
  cp -L /etc/resolv.conf "$root/etc/resolv.conf"
  cp -r "$in" "$root/tmp/deb"
  chmod -R a+rX "$root/tmp/deb"
  : >"$work/deb.log"
  in_system /bin/bash /tmp/deb/deb-install-test.sh "/tmp/deb/$(basename "$1")" \
    /tmp/deb/gtk/gtkcheck.py /tmp/deb/out >"$work/deb.log" 2>&1 &
  child=$!
  tail -n +1 -f --pid="$child" "$work/deb.log" &
  wait "$child" || rc=$?
  child=
  wait
  cp -r "$root/tmp/deb/out" "$work/deb" 2>/dev/null || true
  deb_time=$(took "$t")
  if [ "$rc" -eq 0 ]; then deb_result=worked; else deb_result="FAILED (exit status $rc)"; fi
}

if [ -n "$debonly" ]; then
  deb_check "$debonly" "$top"
  echo
  printf '  %-34s %-8s %s\n' "the Debian package" "$deb_time" "$deb_result"
  echo "  log: $work/deb.log; the window's picture, the manual page, the file lists: $work/deb/"
  [ "$deb_result" = worked ] && status=0
  exit $status
fi

# a clean clone, with the shared folder beside it as in a work tree
mkdir -p "$root/work"
git clone -q --no-checkout "$top" "$root/work/vexlore"
git -C "$root/work/vexlore" fetch -q "$top" HEAD
git -C "$root/work/vexlore" checkout -q --detach FETCH_HEAD
if [ -d "$top/../shared" ]; then
  mkdir "$root/work/shared"
  cp -a "$top/../shared/." "$root/work/shared/"
else
  echo "fresh-check: no $(cd "$top/.." && pwd)/shared to copy beside the clone"
fi

# Runs one README command in the system, its output shown and kept in
# $work/NAME.log; sets result and elapsed.
readme() {
  local name=$1 t rc=0
  shift
  echo
  echo "=== fresh-check: $*"
  t=$(clock)
  in_system /bin/bash -c 'cd /work/vexlore && "$@"' readme "$@" >"$work/$name.log" 2>&1 &
  child=$!
  tail -n +1 -f --pid="$child" "$work/$name.log" &
  wait "$child" || rc=$?
  child=
  wait
  elapsed=$(took "$t")
  if [ "$rc" -eq 0 ]; then result=worked; else result="FAILED (exit status $rc)"; fi
}

# the run command first, on the system as it came: it must build and show
# the window with nothing but what it installs itself
readme run bash scripts/run.sh
run_result=$result run_time=$elapsed
readme shot bash scripts/run.sh --screenshot build/run-window.png
shot_result=$result shot_time=$elapsed
cp "$root/work/vexlore/build/run-window.png" "$work/" 2>/dev/null || true

# the fresh system is a scratch one: setup may change its libraries for
# the 32-bit Wine, which the check insists on wherever the kernel (this
# machine's, which the system shares) runs 32-bit code; elsewhere the test
# command can only say what it left untested
testcmd=(bash scripts/test.sh --require-win32)
if ! runs32; then
  testcmd=(bash scripts/test.sh)
  echo "fresh-check: this machine's kernel runs no 32-bit code: the test command runs without"
  echo "fresh-check: --require-win32, on the 64-bit Windows build, and says what it left untested"
fi
readme test env VEXLORE_WINE32_DOWNGRADES=1 "${testcmd[@]}"
test_result=$result test_time=$elapsed
rm -rf "$work/screenshots"
if [ -d "$root/work/vexlore/build/screenshots" ]; then
  cp -r "$root/work/vexlore/build/screenshots" "$work/screenshots"
fi
deb=$root/work/vexlore/build/package/vexlore_$(sed -n 's/^project(vexlore VERSION \([0-9.]*\).*/\1/p' \
  "$root/work/vexlore/CMakeLists.txt")-1_$(dpkg --print-architecture).deb
if [ -f "$deb" ]; then
  cp "$deb" "$work/"
  rm -rf "$work/deb-src" && mkdir -p "$work/deb-src/tests"
  cp -r "$root/work/vexlore/scripts" "$work/deb-src/"
  cp -r "$root/work/vexlore/tests/gtk" "$root/work/vexlore/tests/expect.py" "$work/deb-src/tests/" \
    2>/dev/null || true
  deb_check "$work/$(basename "$deb")" "$work/deb-src"
else
  deb_result="FAILED (the test command built no $(basename "$deb"))" deb_time=-
fi

echo
echo "=== fresh-check: Debian 12 minbase, commit ${head:0:12}"
printf '  %-34s %-8s %s\n' "fresh system" "$ready" "($made)"
printf '  %-34s %-8s %s\n' "${testcmd[*]}" "$test_time" "$test_result"
printf '  %-34s %-8s %s\n' "bash scripts/run.sh (no DISPLAY)" "$run_time" "$run_result"
printf '  %-34s %-8s %s\n' "bash scripts/run.sh --screenshot" "$shot_time" "$shot_result"
printf '  %-34s %-8s %s\n' "the Debian package" "$deb_time" "$deb_result"
echo "  logs: $work/test.log, $work/run.log, $work/shot.log, $work/deb.log; screenshots:"
echo "  $work/run-window.png, $work/screenshots/, $work/deb/"
if [ "$test_result" = worked ] && [ "$run_result" = worked ] && [ "$shot_result" = worked ] &&
   [ "$deb_result" = worked ]; then
  status=0
  echo "fresh-check: both README commands worked on a fresh Debian 12 system"
else
  echo "fresh-check: a README command failed on a fresh Debian 12 system"
fi
exit $status
