#!/usr/bin/env bash
# Runs the Google benchmarks, then times quillmar-cli decoding a 256 MiB file against cp of the same
# file in the same run and prints the ratio, then the same for 2,000 small files.
# BASELINE_CLI=path adds another quillmar-cli binary (an older build) to the same rounds.
# SKIP_GBENCH=1 leaves out the Google benchmarks.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
cli="$build/bin/quillmar-cli"
baseline=${BASELINE_CLI:-}

for src in $([ -n "${SKIP_GBENCH:-}" ] || echo "$root"/bench/*.cpp); do
    exe="$build/bin/$(basename "$src" .cpp)"
    if [ -x "$exe" ]; then
        echo "== $(basename "$exe")"
        "$exe" ${BENCH_FILTER:+--benchmark_filter="$BENCH_FILTER"}
    else
        echo "== $(basename "$exe") was not built; skipped" >&2
    fi
done

if [ ! -x "$cli" ]; then
    echo "quillmar-cli was not built in $build" >&2
    exit 1
fi

# The data stays in the build folder (a local disk), not in a RAM-backed /tmp.
work=$(mktemp -d "$build/bench-cli.XXXXXX")
trap 'rm -rf "$work"' EXIT
key="$work/key.txt"
echo "bench key 0123" > "$key"

# About 1 MiB of plain text followed by the same text scrambled into one region, repeated to 256 MiB.
awk 'BEGIN { srand(7); for (i = 0; i < 16384; i++) { line = ""; for (j = 0; j < 60; j++) line = line sprintf("%c", 97 + int(rand() * 26)); print line } }' > "$work/plain.txt"
"$cli" encode --key-file "$key" --output "$work/region.txt" "$work/plain.txt"
cat "$work/plain.txt" "$work/region.txt" > "$work/unit.txt"
: > "$work/big.txt"
while [ "$(stat -c %s "$work/big.txt")" -lt $((256 << 20)) ]; do
    cat "$work/unit.txt" >> "$work/big.txt"
done
truncate -s $((256 << 20)) "$work/big.txt"
mkdir "$work/out"

now() { date +%s.%N; }
cat "$work/big.txt" > /dev/null  # both commands start from a warm cache
# Wall-clock time of each command as a user would see it, the written data left to the page cache
# in both cases. The two alternate three times and the best time of each counts, so that a moment
# of load on a shared machine does not decide the ratio.
best_cp=""
best_dec=""
best_base=""
for round in 1 2 3; do
    rm -f "$work/copy.txt" "$work/out"/*
    t0=$(now)
    cp "$work/big.txt" "$work/copy.txt"
    t1=$(now)
    "$cli" decode --key-file "$key" --output-dir "$work/out" "$work/big.txt" > /dev/null
    t2=$(now)
    t3=$t2
    if [ -n "$baseline" ]; then
        rm -f "$work/out"/*
        "$baseline" decode --key-file "$key" --output-dir "$work/out" "$work/big.txt" > /dev/null
        t3=$(now)
    fi
    read -r best_cp best_dec best_base < <(awk -v a="$t0" -v b="$t1" -v c="$t2" -v d="$t3" -v bc="$best_cp" -v bd="$best_dec" -v bb="$best_base" 'BEGIN {
        cp = b - a; dec = c - b; base = d - c
        if (bc != "" && bc + 0 < cp) cp = bc
        if (bd != "" && bd + 0 < dec) dec = bd
        if (bb != "" && bb + 0 < base) base = bb
        printf "%.6f %.6f %.6f\n", cp, dec, base
    }')
done

awk -v cp="$best_cp" -v dec="$best_dec" 'BEGIN {
    printf "256 MiB, best of 3: cp %.3f s, quillmar-cli decode %.3f s (%.0f MB/s), ratio %.2f\n", cp, dec, 268.435456 / dec, dec / cp
}'
if [ -n "$baseline" ]; then
    awk -v cp="$best_cp" -v dec="$best_base" 'BEGIN {
        printf "  baseline quillmar-cli decode %.3f s, ratio %.2f\n", dec, dec / cp
    }'
fi
rm -rf "$work"

"$root/bench/small-files-vs-cp.sh" "$build"
"$root/bench/batch-jobs-vs-cp.sh" "$build"
