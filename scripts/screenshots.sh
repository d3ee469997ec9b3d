#!/usr/bin/env bash
# Pictures of the real windows under xvfb, saved under docs/:
#   scripts/screenshots.sh BUILD_DIR
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
cmake --build "$build" --target sorabel_screenshots -j "$(nproc)" >/dev/null
mkdir -p "$root/docs"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/sorabel_screenshots" "$root" "$root/docs"
