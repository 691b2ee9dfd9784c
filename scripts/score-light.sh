#!/usr/bin/env bash
# How a product laid on an old patterned floor takes the room's light:
# builds light_scores and vexel2d-cli in BUILD, renders the light rooms (a
# chequer, mixed boards, terracotta, each in the sun through a window, and
# each floor's plain twin) with POV-Ray into BUILD/bin/rendered-rooms (kept
# and reused while their scenes stay the same; a few seconds a room at
# 640 x 480), lays a light grey tile on each floor through the command line
# in the photo's light and in the room's, and prints residue, shading and
# edges per pattern and light against the plain twin.
#
#   scripts/score-light.sh BUILD [--size WxH] [--only PATTERN] [--draw DIR]
#
# --draw keeps the schemes, tiles, laid pictures and compared floors in DIR.
set -euo pipefail

if [[ $# -lt 1 ]]; then
  echo "usage: $0 BUILD [--size WxH] [--only chequer|boards|terracotta] [--draw DIR]" >&2
  exit 2
fi
build=$1
shift
command -v povray >/dev/null || { echo "povray is missing: apt-get install povray" >&2; exit 1; }
cmake --build "$build" --target light_scores vexel2d-cli >/dev/null
exec "$build/bin/light_scores" "$@"
