#!/usr/bin/env bash
# Screenshot of the main window with examples/sample.srb loaded at start-up:
#   scripts/screenshot-main-window.sh BUILD_DIR OUTPUT.png
set -euo pipefail
build=${1:-build}
out=${2:-docs/main-window.png}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The program keeps its settings file beside itself: run a copy in a folder of its own.
cp "$build/sorabel" "$work/"
cp "$root/examples/sample.srb" "$work/"
printf '[File]\r\nFile=%s\r\n[Window]\r\nLeft=0\r\nTop=0\r\nWidth=711\r\nHeight=611\r\n' \
  "$work/sample.srb" > "$work/SorabeIni.INI"

xvfb-run -a -s "-screen 0 1024x768x24" bash -c "
  '$work/sorabel' & pid=\$!
  sleep 3
  import -window root '$work/root.png'
  kill \$pid
" >/dev/null 2>&1 || true
mkdir -p "$(dirname "$out")"
convert "$work/root.png" -crop 711x611+0+0 +repage "$out"
echo "$out"
