#!/usr/bin/env bash
# Runs every benchmark program of a build folder and prints its figures; each
# program ends with one "ratio OURS / BARE = R (goal <= G)" line per pair.
# Benchmarks need no display: Qt draws offscreen unless told otherwise.
#
#   scripts/run-benchmarks.sh [BUILD [BENCHMARK FLAGS...]]
#   scripts/run-benchmarks.sh build --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
#   VEXEL_BENCH_VISION_SIZE=4000x3000 scripts/run-benchmarks.sh   # the rooms at full size
#
# The rendered rooms of bench_vision take a minute or two each the first time
# at full size; by default they are rendered at 1000 x 750.
set -euo pipefail
build=${1:-build}
shift $(( $# > 0 ? 1 : 0 ))
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
for b in "$build"/bin/bench_*; do
  [ -x "$b" ] || continue
  name=$(basename "$b")
  case "$name" in
    bench_bare_pipeline) continue ;;  # a tool of scripts/bench-commands.sh
  esac
  echo "== $name"
  case "$name" in
    bench_vision) "$b" --size "${VEXEL_BENCH_VISION_SIZE:-1000x750}" ;;
    *) "$b" --benchmark_min_time=0.5 "$@" ;;
  esac
done
