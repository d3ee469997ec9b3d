#!/usr/bin/env bash
# Runs every fuzz target built under $1/fuzz for $2 seconds each.
set -euo pipefail
dir=${1:-build-fuzz}
seconds=${2:-60}
shopt -s nullglob
for f in "$dir"/fuzz/fuzz_*; do
  [ -f "$f" ] && [ -x "$f" ] || continue
  name=$(basename "$f")
  corpus="$dir/corpus/$name"
  mkdir -p "$corpus"
  seeds="fuzz/seeds/${name#fuzz_}"
  echo "== $name (${seconds}s)"
  if [ -d "$seeds" ]; then
    "$f" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 "$corpus" "$seeds"
  else
    "$f" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 "$corpus"
  fi
done
