#!/usr/bin/env bash
# Runs the fuzz targets on demand: builds them with clang, libFuzzer and both
# sanitizers into build-fuzz/ and runs each for a set time.
#
#   scripts/fuzz.sh [seconds] [target...]    default: 300 s for each target
#   targets: settings hive elf typelib variant bstr guid
#
# Each target starts from its seed corpus, tests/fuzz/corpus/<target>/, which
# it only reads. New inputs go to build-fuzz/finds/<target>/corpus/, inputs
# that fail (crash, failed check, leak, more than 30 s, a gigabyte asked for at
# once) to build-fuzz/finds/<target>/failures/ (FUZZ_OUT moves both). The run
# goes on past a failure, so seeds that still fail do not stop it. A failure
# worth keeping becomes a seed by copying it into the corpus folder.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
out="${FUZZ_OUT:-$build/finds}"
jobs="${JOBS:-$(nproc)}"
all=(settings hive elf typelib variant bstr guid)

seconds="${1:-300}"
[ "$#" -gt 0 ] && shift
targets=("$@")
[ "${#targets[@]}" -eq 0 ] && targets=("${all[@]}")
for t in "${targets[@]}"; do
  [[ " ${all[*]} " == *" $t "* ]] || { echo "fuzz.sh: no target \"$t\" (${all[*]})" >&2; exit 2; }
done

"$root/scripts/install-deps.sh"
BUILD_DIR="$build" JOBS="$jobs" BUILD_TARGETS="${targets[*]/#/fuzz_}" \
  "$root/scripts/build.sh" -DPLAT_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++-14

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
symbolizer=/usr/lib/llvm-14/bin/llvm-symbolizer
[ -x "$symbolizer" ] && export ASAN_SYMBOLIZER_PATH="$symbolizer"

# What an input may cost: 30 s, and no single allocation of a gigabyte.
limits=(-timeout=30 -malloc_limit_mb=1024 -rss_limit_mb=4096)

# One line per kind of failure among a target's failing inputs: how many, what
# was reported first, and the innermost frame in the project's own code.
summarize() {
  local t="$1" f report
  for f in "$out/$t/failures"/*; do
    [ -f "$f" ] || continue
    report=$(timeout 300 "$build/bin/fuzz_$t" "${limits[@]}" "$f" 2>&1 || true)
    printf '%s | %s | %s\n' \
      "$(grep -a -m1 -E 'fuzz check failed|ERROR: [A-Za-z]+Sanitizer|runtime error|ERROR: libFuzzer|what\(\)' <<<"$report" |
         sed -E 's/ -- .*//; s/==[0-9]+==//; s/0x[0-9a-f]+/0x.../g' | cut -c1-120)" \
      "$(grep -a -m1 -oE '[^ ]*/(platform|Velmor|RoamwellDLL|tools)/[^ ]*:[0-9]+' <<<"$report" | sed 's#.*/\.\./##')" \
      "$(basename "$f")"
  done | sort | awk -F' [|] ' '{ n[$1 " | " $2]++; if (!($1 " | " $2 in e)) e[$1 " | " $2] = $3 }
      END { for (k in n) printf "   %d x %s (e.g. %s)\n", n[k], k, e[k] }'
}

failed=()
for t in "${targets[@]}"; do
  mkdir -p "$out/$t/corpus" "$out/$t/failures"
  dict=()
  [ -f "$root/tests/fuzz/$t.dict" ] && dict=("-dict=$root/tests/fuzz/$t.dict")
  echo "== fuzz_$t for $seconds s"
  "$build/bin/fuzz_$t" -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
    -max_total_time="$seconds" "${limits[@]}" -max_len=8192 \
    -artifact_prefix="$out/$t/failures/" "${dict[@]}" \
    "$out/$t/corpus" "$root/tests/fuzz/corpus/$t" 2>"$out/$t/log.txt" || true
  count=$(find "$out/$t/failures" -type f | wc -l)
  echo "   $(find "$out/$t/corpus" -type f | wc -l) new inputs, $count failing (log: $out/$t/log.txt)"
  if [ "$count" -gt 0 ]; then
    failed+=("$t")
    summarize "$t"
  fi
done
if [ "${#failed[@]}" -gt 0 ]; then
  echo "failing inputs for: ${failed[*]} (replay one: build-fuzz/bin/fuzz_<target> <file>)"
  exit 1
fi
