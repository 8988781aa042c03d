#!/bin/bash
# Fuzzes the engine and the word file reader with libFuzzer, each target
# for a bounded time, then minimises what it found into the corpus kept in
# the repository (fuzz/corpus/<target>/), which the test suite replays.
# usage: scripts/fuzz.sh [SECONDS-PER-TARGET] [TARGET...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=lib.sh
source "$top/scripts/lib.sh"
build=${VEXLORE_BUILD:-$top/build}/fuzz
seconds=${1:-200}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(letters_fuzz wordfile_fuzz search_fuzz related_fuzz)

# longest input each target is given: more only slows it down
declare -A maxlen=([letters_fuzz]=700 [wordfile_fuzz]=4096 [search_fuzz]=400 [related_fuzz]=1024)

need=()
command -v clang++ >/dev/null || need+=(clang)
ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 ||
  need+=(libclang-rt-14-dev)
if [ ${#need[@]} -gt 0 ]; then
  apt_install fuzz "${need[@]}"
fi

mkdir -p "$build"
# shellcheck disable=SC2054 # the commas are the option's own
flags=(-std=c++17 -O1 -g -fno-omit-frame-pointer -I"$top"
       -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
common=("$top"/engine/*.cpp "$top"/dictionary/*.cpp "$top"/model/related.cpp "$top"/fuzz/fuzzcheck.cpp
        "$top"/tests/reference.cpp)

summary=()
status=0
for t in "${targets[@]}"; do
  echo "=== $t: building"
  clang++ "${flags[@]}" -o "$build/$t" "$top/fuzz/$t.cpp" "${common[@]}"
  corpus=$top/fuzz/corpus/$t
  work=$build/$t-work
  rm -rf "$work" "$build/$t-merged"
  mkdir -p "$corpus" "$work" "$build/$t-merged" "$build/$t-findings"
  cp "$corpus"/. "$work"/ -r

  echo "=== $t: fuzzing for $seconds s"
  log=$build/$t.log
  rc=0
  (cd "$build" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "./$t" -max_total_time="$seconds" -max_len="${maxlen[$t]:-4096}" -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$build/$t-findings/" "$work") >"$log" 2>&1 || rc=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  findings=$(find "$build/$t-findings" -type f | wc -l)
  if [ $rc -ne 0 ]; then
    status=1
    echo "fuzz: $t stopped with status $rc; see $log and $build/$t-findings/"
    tail -30 "$log"
  fi

  # keep only the inputs that add coverage, under their content hash; if
  # that fails the corpus in the repository stays as it was
  if (cd "$build" && "./$t" -merge=1 -max_len="${maxlen[$t]:-4096}" "$build/$t-merged" "$work") \
      >"$build/$t-merge.log" 2>&1; then
    rm -rf "$corpus"
    mv "$build/$t-merged" "$corpus"
  else
    status=1
    echo "fuzz: merging the corpus of $t failed; see $build/$t-merge.log"
  fi
  files=$(find "$corpus" -type f | wc -l)
  bytes=$(du -sb "$corpus" | cut -f1)
  summary+=("$(printf '%-14s %5s s  %12s execs  corpus %4s files %7s bytes  findings %s' \
    "$t" "$seconds" "${execs:-?}" "$files" "$bytes" "$findings")")
done

echo
echo "=== summary"
printf '%s\n' "${summary[@]}"
exit $status
