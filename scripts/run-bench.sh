#!/usr/bin/env bash
# Runs every native benchmark program of the tree.
set -euo pipefail
build=${1:-build}
found=0
for b in "$build"/native/bin/bench-*; do
  [ -x "$b" ] || continue
  found=1
  echo "== $(basename "$b")"
  "$b" --benchmark_min_time=0.2
done
[ "$found" = 1 ] || echo "no benchmarks built"
