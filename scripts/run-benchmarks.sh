#!/usr/bin/env bash
# Runs every benchmark binary built under $1/bench.
set -euo pipefail
dir=${1:-build-bench}
shopt -s nullglob
status=0
for b in "$dir"/bench/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$b" || status=1
done
exit $status
