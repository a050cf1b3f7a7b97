#!/usr/bin/env bash
# Times quillmar-cli decoding a mixed batch (8 sources of 64 MiB and 2,000 small ones) with --jobs 1
# and --jobs 2 against cp of the same files, best of three, alternating in the same run, and prints
# the ratios.
# Usage: bench/batch-jobs-vs-cp.sh [BUILD_DIR]; BIG_FILES and SMALL_FILES change the counts.
set -euo pipefail
build=${1:-build}
cli="$build/bin/quillmar-cli"
bigCount=${BIG_FILES:-8}
smallCount=${SMALL_FILES:-2000}

if [ ! -x "$cli" ]; then
    echo "quillmar-cli was not built in $build" >&2
    exit 1
fi

# The files stay in the build folder (a local disk), not in a RAM-backed /tmp.
work=$(mktemp -d "$build/bench-jobs.XXXXXX")
trap 'rm -rf "$work"' EXIT
key="$work/key.txt"
echo "bench key 0123" > "$key"

# A 1 MiB scrambled region; a big source is 64 of them, each between lines of plain text.
perl -e 'srand(5); print join("", map { chr(32 + int(rand(95))) } 1 .. 1048576)' > "$work/plain.txt"
"$cli" encode --key-file "$key" --output "$work/region.txt" "$work/plain.txt"
mkdir "$work/src"
perl -e '
    my ($dir, $big, $small, $regionFile) = @ARGV;
    open(my $r, "<:raw", $regionFile) or die; local $/; my $region = <$r>; close $r;
    my $body = "";
    $body .= "plain line before region $_\n" . $region . "\n" for 1 .. 64;
    for my $i (0 .. $big - 1) {
        open(my $f, ">:raw", sprintf("%s/big%d.txt", $dir, $i)) or die; print $f $body; close $f;
    }
    my $short = substr($region, 0, 130) . "#*";
    for my $i (0 .. $small - 1) {
        my $size = 10 + ($i * 7919) % 691;
        open(my $f, ">:raw", sprintf("%s/f%05d.txt", $dir, $i)) or die;
        print $f substr("some text " . $short . (" tail" x 200), 0, $size); close $f;
    }' "$work/src" "$bigCount" "$smallCount" "$work/region.txt"
cat "$work"/src/* > /dev/null  # every command starts from a warm cache

. "$(dirname "$0")/timing.sh"

best_cp="" best_one="" best_two=""
for round in 1 2 3; do
    rm -rf "$work/copy" "$work/one" "$work/two"
    mkdir "$work/copy" "$work/one" "$work/two"
    best_cp=$(min "$best_cp" "$(timed cp "$work"/src/*.txt "$work/copy/")")
    rm -rf "$work/copy"
    best_one=$(min "$best_one" "$(timed "$cli" decode --jobs 1 --no-progress --key-file "$key" --output-dir "$work/one" "$work"/src/*.txt)")
    rm -rf "$work/one"
    best_two=$(min "$best_two" "$(timed "$cli" decode --jobs 2 --no-progress --key-file "$key" --output-dir "$work/two" "$work"/src/*.txt)")
done

total=$((bigCount + smallCount))
decoded=$(find "$work/two" -type f | wc -l)
if [ "$decoded" -ne "$total" ]; then
    echo "only $decoded of $total files were decoded" >&2
    exit 1
fi
if ! cmp -s "$work/two/big0(dec1).txt" <(perl -e '
    my $p = do { local $/; open(my $f, "<:raw", $ARGV[0]) or die; <$f> };
    my $pad = $p . (" " x ((128 - length($p) % 128) % 128));
    print "plain line before region $_\n*#$pad#*\n" for 1 .. 64;' "$work/plain.txt"); then
    echo "a big source did not decode to its plain text" >&2
    exit 1
fi

awk -v b="$bigCount" -v s="$smallCount" -v cp="$best_cp" -v one="$best_one" -v two="$best_two" 'BEGIN {
    printf "%d sources of 64 MiB and %d small ones, best of 3: cp %.3f s, decode --jobs 1 %.3f s (ratio %.2f), --jobs 2 %.3f s (ratio %.2f), --jobs 2 against --jobs 1 %.2f\n", b, s, cp, one, one / cp, two, two / cp, two / one
}'
