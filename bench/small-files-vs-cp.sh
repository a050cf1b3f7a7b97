#!/usr/bin/env bash
# Times quillmar-cli decoding 2,000 small marked files (10 to 700 bytes) into a folder against cp of
# the same files into a folder, best of three, alternating, and prints the ratio.
# Usage: bench/small-files-vs-cp.sh [BUILD_DIR]; BASELINE_CLI=path adds another quillmar-cli binary
# (an older build, say) to the same rounds, so that before and after are measured together.
set -euo pipefail
build=${1:-build}
cli="$build/bin/quillmar-cli"
baseline=${BASELINE_CLI:-}
count=${SMALL_FILES:-2000}

if [ ! -x "$cli" ]; then
    echo "quillmar-cli was not built in $build" >&2
    exit 1
fi

# The files stay in the build folder (a local disk), not in a RAM-backed /tmp.
work=$(mktemp -d "$build/bench-small.XXXXXX")
trap 'rm -rf "$work"' EXIT
key="$work/key.txt"
echo "bench key 0123" > "$key"

# One scrambled region of 128 bytes; files large enough carry it between plain text, smaller ones a
# short region of their own, so that every file goes through the region rules.
perl -e 'srand(3); print join("", map { chr(97 + int(rand(26))) } 1 .. 128)' > "$work/plain.txt"
"$cli" encode --key-file "$key" --output "$work/region.txt" "$work/plain.txt"
mkdir "$work/src"
perl -e '
    my ($dir, $count, $regionFile) = @ARGV;
    open(my $r, "<:raw", $regionFile) or die; local $/; my $region = <$r>; close $r;
    srand(11);
    my $text = join("", map { (int(rand(50)) == 0) ? "\n" : chr(97 + int(rand(26))) } 1 .. 2000);
    for my $i (0 .. $count - 1) {
        my $size = 10 + ($i * 7919) % 691;
        my $body;
        if ($size >= length($region) + 8) {
            my $head = int(($size - length($region)) / 2);
            $body = substr($text, 0, $head) . $region . substr($text, 100, $size - length($region) - $head);
        } else {
            $body = substr("ab*#" . substr($text, 200, 40) . "#*" . $text, 0, $size);
        }
        open(my $f, ">:raw", sprintf("%s/f%05d.txt", $dir, $i)) or die; print $f $body; close $f;
    }' "$work/src" "$count" "$work/region.txt"
mkdir "$work/copy" "$work/out" "$work/out-baseline"
cat "$work"/src/* > /dev/null  # every command starts from a warm cache

. "$(dirname "$0")/timing.sh"

best_cp="" best_dec="" best_base=""
for round in 1 2 3; do
    rm -rf "$work/copy" "$work/out" "$work/out-baseline"
    mkdir "$work/copy" "$work/out" "$work/out-baseline"
    # The glob is expanded by this shell for each command alike.
    best_cp=$(min "$best_cp" "$(timed cp "$work"/src/f*.txt "$work/copy/")")
    best_dec=$(min "$best_dec" "$(timed "$cli" decode --key-file "$key" --output-dir "$work/out" "$work"/src/f*.txt)")
    if [ -n "$baseline" ]; then
        best_base=$(min "$best_base" "$(timed "$baseline" decode --key-file "$key" --output-dir "$work/out-baseline" "$work"/src/f*.txt)")
    fi
done

decoded=$(find "$work/out" -type f | wc -l)
if [ "$decoded" -ne "$count" ]; then
    echo "only $decoded of $count files were decoded" >&2
    exit 1
fi
if [ -n "$baseline" ] && ! diff -r -q "$work/out" "$work/out-baseline" > /dev/null; then
    echo "the baseline's outputs differ from this build's" >&2
    exit 1
fi

awk -v n="$count" -v cp="$best_cp" -v dec="$best_dec" 'BEGIN {
    printf "%d small files, best of 3: cp %.3f s, quillmar-cli decode %.3f s, ratio %.2f\n", n, cp, dec, dec / cp
}'
if [ -n "$baseline" ]; then
    awk -v cp="$best_cp" -v dec="$best_base" 'BEGIN {
        printf "  baseline quillmar-cli decode %.3f s, ratio %.2f\n", dec, dec / cp
    }'
fi
