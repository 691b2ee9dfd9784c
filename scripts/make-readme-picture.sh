#!/usr/bin/env bash
# Makes docs/rendering.jpg, the README's picture: the demo room with three
# demo products laid by the renderer (a polished tile on the floor, striped
# wallpaper on the walls, white oak boards on the wardrobe front).
#
#   scripts/make-readme-picture.sh BUILD_DIR
#
# Builds nothing: BUILD_DIR/bin must hold vexel2d-cli and VexellDll.so.
set -euo pipefail

if [[ $# -ne 1 ]]; then
  echo "usage: $0 BUILD_DIR" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
cli="$build/bin/vexel2d-cli"
[[ -x "$cli" ]] || { echo "$cli is missing: build vexel2d-cli first" >&2; exit 1; }
[[ -f "$build/bin/VexellDll.so" ]] || { echo "$build/bin/VexellDll.so is missing: build VexellDll first" >&2; exit 1; }
command -v convert >/dev/null || { echo "ImageMagick's convert is needed" >&2; exit 1; }

repo=$(cd "$(dirname "$0")/.." && pwd)
out="$repo/docs/rendering.jpg"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

ws="$work/ws"
"$cli" make-workspace "$ws" >/dev/null

# The size of a product as "WxH", from the demo database.
size_of() {
  (cd "$ws" && "$cli" products --kind material) |
    sed -n "s/.*\"PartsNumber\":\"$1\",\"PartsSpecs\":\"\([0-9]*\)\*\([0-9]*\)\".*/\1x\2/p" | head -n 1
}

# Each step lays one product and keeps the scheme for the next.
scheme="$ws/start/start.v2d"
step=0
lay() {  # PARTSNUMBER REGIONS [RENDER OPTIONS...]
  local number=$1 regions=$2 size map
  shift 2
  size=$(size_of "$number")
  map="$ws/product/maps/$number.h2d"
  [[ -f "$map" ]] || map="$ws/product/maps/$number.jpg"
  [[ -n "$size" ]] || { echo "no product $number in the demo database" >&2; exit 1; }
  step=$((step + 1))
  "$cli" render "$scheme" --product "$map" --regions "$regions" --size "$size" \
    --save "$work/step$step.v2d" -o "$work/step$step.jpg" "$@"
  scheme="$work/step$step.v2d"
}
lay PG-8007 地面
lay BZ-5305 背景墙,左墙,右墙
# The photo's wardrobe is dark wood; its light would darken any board.
lay MB-1205 衣柜门 --lighten 120

mkdir -p "$(dirname "$out")"
for quality in 85 80 75 70 60; do
  convert "$work/step$step.jpg" -resize '1200x>' -strip -quality "$quality" "$work/readme.jpg"
  (( $(stat -c %s "$work/readme.jpg") < 200000 )) && break
done
(( $(stat -c %s "$work/readme.jpg") < 200000 )) || { echo "the picture stays above 200 KB" >&2; exit 1; }
cp "$work/readme.jpg" "$out"
echo "wrote $out ($(stat -c %s "$out") bytes, quality $quality)"
