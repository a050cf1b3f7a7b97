#!/usr/bin/env bash
# Runs the real window under Xvfb: three files on the command line (one of them missing), the sample
# key typed and Run clicked through the X server, then a screenshot of the screen as PNG.
# Needs xvfb, xdotool, x11-apps and imagemagick. Usage: scripts/window-screenshot.sh [build] [out.png]
set -euo pipefail
build=${1:-build}
out=${2:-$build/test-output/main-window-xvfb.png}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d "$root/$build/xvfb-work.XXXXXX")
trap 'kill $app $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
cp "$root"/samples/texts/letter.txt "$root"/samples/texts/poem.txt "$work"/
display=:87
Xvfb $display -screen 0 1400x900x24 -nolisten tcp &
xvfb=$!
for _ in $(seq 50); do [ -S /tmp/.X11-unix/X${display#:} ] && break; sleep 0.1; done
export DISPLAY=$display
unset QT_QPA_PLATFORM
"$root/$build/bin/quillmar" "$work/letter.txt" "$work/missing.txt" "$work/poem.txt" &
app=$!
win=$(xdotool search --sync --name "Quillmar 1.3" | head -1)
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
# The key field sits at (256, 11) in the window, the Run button at (81, 2).
xdotool mousemove --window "$win" 300 21 click 1
xdotool type --delay 20 "$(head -1 "$root/samples/key.txt")"
xdotool mousemove --window "$win" 101 22 click 1
sleep 1
mkdir -p "$(dirname "$out")"
xwd -root -silent | convert xwd:- -crop 700x400+700+160 "$out"
echo "$out"
