#!/usr/bin/env bash
# Runs every benchmark program of a build folder and prints its figures.
# Benchmarks need no display: Qt draws offscreen unless told otherwise.
set -euo pipefail
build=${1:-build}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
for b in "$build"/bin/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_min_time=0.5
done
