#!/usr/bin/env bash
# Checks that two builds of vexel2d-cli give the same bytes: the demo
# workspace (the encrypted database aside, whose salt is random), renderings
# with products, tone and colour, saved schemes, conversions and JSON.
#
#   scripts/compare-outputs.sh OLD_BIN_DIR NEW_BIN_DIR
#
# Each folder must hold vexel2d-cli and VexellDll.so. Exits 1 on the first
# difference, naming the file.
set -euo pipefail
[[ $# -eq 2 ]] || { echo "usage: $0 OLD_BIN_DIR NEW_BIN_DIR" >&2; exit 2; }
work=$(mktemp -d)
trap '[ -n "${KEEP_OUTPUTS:-}" ] || rm -rf "$work"' EXIT

run_all() {  # BIN_DIR OUT_DIR
  local cli="$1/vexel2d-cli" out=$2 ws="$2/ws"
  mkdir -p "$out"
  "$cli" make-workspace "$ws" >/dev/null
  local start="$ws/start/start.v2d" maps="$ws/product/maps"
  "$cli" info "$start" >"$out/info.json"
  "$cli" convert "$start" "$out/converted.v2d"
  "$cli" render "$start" -o "$out/plain.jpg"
  "$cli" render "$start" --product "$maps/PG-8007.h2d" --regions 地面 --size 800x800 \
    --save "$out/floor.v2d" -o "$out/floor.jpg"
  "$cli" render "$out/floor.v2d" --product "$maps/BZ-5306.jpg" --regions 背景墙,左墙,右墙 --size 530x1000 \
    --mirror --rotate --lighten 40 --reflect 30 --save "$out/walls.v2d" -o "$out/walls.jpg"
  "$cli" render "$out/walls.v2d" --product "$maps/MB-1205.jpg" --regions 衣柜门 --fit --lighten 120 \
    -o "$out/wardrobe.jpg"
  "$cli" render "$start" --colour 0x3366CC --regions 0,1 --save "$out/colour.v2d" -o "$out/colour.jpg"
  mkdir -p "$out/some-products"
  cp "$maps/PG-8007.h2d" "$maps/BZ-5306.jpg" "$maps/MB-1205.jpg" "$out/some-products/"
  "$cli" batch "$start" --products "$out/some-products" --regions 地面,背景墙 --lighten 20 -o "$out/batch"
  "$cli" info "$out/walls.v2d" >"$out/walls.json"
  (cd "$ws" && "$cli" products) >"$out/products.jsonl"
  rm -f "$ws"/DB/*.cdb
}

old=$(cd "$1" && pwd); new=$(cd "$2" && pwd)
run_all "$old" "$work/old"
run_all "$new" "$work/new"
if ! diff -r "$work/old" "$work/new" >"$work/diff.txt"; then
  head -40 "$work/diff.txt" >&2
  echo "outputs differ" >&2
  exit 1
fi
echo "same bytes: $(cd "$work/new" && find . -type f | wc -l) files"
