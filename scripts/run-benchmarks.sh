#!/usr/bin/env bash
# Runs every benchmark program of a build folder and prints its figures.
set -euo pipefail
build=${1:-build}
for b in "$build"/bin/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_min_time=0.5
done
