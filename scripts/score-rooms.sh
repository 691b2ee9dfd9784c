#!/usr/bin/env bash
# The room finder scored on the tuning and held-out rooms: builds room_scores
# in BUILD, renders the rooms with POV-Ray into BUILD/bin/rendered-rooms (kept
# and reused while their scenes stay the same; about a minute a room at
# 640 x 480 the first time) and prints one table per set with its means:
# layout pixel error, outline IoU of every visible surface, the worst corner
# angle and size error, the floor by one click.
#
#   scripts/score-rooms.sh BUILD [--size WxH] [--only NAME] [--set NAME] [--truth] [--draw DIR] [--explain]
#
# --truth scores the rooms' true layouts, the scorer's own check; --draw DIR
# writes each room's found planes and outlines; --explain prints the box
# fit's terms for the box found and for the best box the truth allows.
set -euo pipefail

if [[ $# -lt 1 ]]; then
  echo "usage: $0 BUILD [--size WxH] [--only NAME] [--set NAME] [--truth] [--draw DIR] [--explain]" >&2
  exit 2
fi
build=$1
shift
command -v povray >/dev/null || { echo "povray is missing: apt-get install povray" >&2; exit 1; }
cmake --build "$build" --target room_scores >/dev/null
exec "$build/bin/room_scores" "$@"
