#!/usr/bin/env bash
# Builds the PPD reader benchmark (preset `bench`: -O2, no sanitizers) and
# measures quorlix's document construction (constraint pass included) against
# libcups' ppdOpenFile + ppdMarkDefaults + ppdConflicts on the five largest
# PPDs of Debian's openprinting-ppds package and on a synthetic PPD at scales
# 1, 4, 16 and 64. Instructions come from callgrind (only the measured call
# is collected); wall time is the median of several in-process runs. Prints
# a markdown table.
#
# Environment: BENCH_BUILD_DIR (default build/bench), PPD_CACHE (default
# build/ppd-corpus-cache), BENCH_REPS (wall-time runs, default 9).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

build=${BENCH_BUILD_DIR:-build/bench}
cache=${PPD_CACHE:-build/ppd-corpus-cache}
reps=${BENCH_REPS:-9}

command -v valgrind >/dev/null || { echo "bench: valgrind is missing (scripts/setup-machine.sh)" >&2; exit 1; }
cmake --preset bench -B "$build" >/dev/null
cmake --build "$build" --target ppd_bench >/dev/null
bench="$build/bench/ppd_bench"
python3 tools/ppd-corpus/unpack_corpus.py "$cache"

work="$build/bench-files"
mkdir -p "$work"
for s in 1 4 16 64; do "$bench" gen "$s" "$work/synthetic-x$s.ppd"; done

# The five largest corpus files; equal sizes are ordered by name.
mapfile -t largest < <(while IFS= read -r name; do
    printf '%s\t%s\n' "$(stat -c %s "$cache/$name")" "$name"
  done < "$cache/index.txt" | sort -t$'\t' -k1,1nr -k2,2 | head -5 | cut -f2)

instructions() {  # reader file -> collected instruction count
  local out="$work/callgrind.$1.out"
  valgrind --tool=callgrind --toggle-collect="bench_measure_$1" --callgrind-out-file="$out" \
    "$bench" "$1" "$2" >/dev/null 2>&1
  awk '/^totals:/ {print $2}' "$out"
}

echo "| file | bytes | quorlix instr/byte | libcups instr/byte | ratio | quorlix ms | libcups ms |"
echo "|---|---:|---:|---:|---:|---:|---:|"
row() {  # label path
  local bytes q c times
  bytes=$(stat -c %s "$2")
  q=$(instructions quorlix "$2")
  c=$(instructions cups "$2")
  times=$("$bench" time "$2" "$reps")
  awk -v l="$1" -v b="$bytes" -v q="$q" -v c="$c" -v t="$times" 'BEGIN {
    split(t, w, " ");
    printf "| %s | %d | %.1f | %.1f | %.2f | %.2f | %.2f |\n", l, b, q / b, c / b, q / c, w[1], w[2] }'
}
for name in "${largest[@]}"; do row "$name" "$cache/$name"; done
for s in 1 4 16 64; do row "synthetic x$s" "$work/synthetic-x$s.ppd"; done
