#!/usr/bin/env bash
# Starts the main window when it has been built; until then decodes the bundled samples with the CLI.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -x "$build/bin/quillmar" ]; then
    exec "$build/bin/quillmar"
fi
out=$(mktemp -d "${TMPDIR:-/tmp}/quillmar-samples.XXXXXX")
echo "Decoding the bundled samples into $out"
QUILLMAR_KEY= "$build/bin/quillmar-cli" decode --key-file "$root/samples/key.txt" --output-dir "$out" "$root"/samples/texts/*.txt
