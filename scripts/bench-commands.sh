#!/usr/bin/env bash
# The whole commands against the bare libraries doing the same work, on the
# demo room at 4000 x 3000 with an 800 x 800 tile laid on its floor:
#   render      vexel2d-cli render of the tiled floor (quality 95)
#               vs libjpeg decode + OpenCV warp of the tiles + masked copy + libjpeg encode
#   render*     the same command vs the same bare pipeline decoding the JPEG the
#               scheme itself holds (its background at quality 100, about twice
#               the photo's decoding time) instead of the photo at quality 92
#   new-scheme  vexel2d-cli new-scheme of the photo with four regions
#               vs libjpeg decode + encode of the photo (quality 100, as the scheme keeps it)
#   report      vexel2d-cli report of the tiled scheme (its rendering at quality 75)
#               vs the render's bare pipeline at quality 75
#   find-room   vexel2d-cli find-room of the photo enlarged to 8000 x 6000
#               vs libjpeg decode + encode of that photo; exits 1 above 600 MB
# Wall time is the median of 7 pairs run in turn (ours, bare, ours, ...);
# peak memory is the largest resident set /usr/bin/time reports. The render's
# peak may be at most 1.4 times the bare pipeline's: the script exits 1 when
# it is more.
#
#   scripts/bench-commands.sh BUILD [RUNS]
#
# Builds nothing: BUILD/bin must hold vexel2d-cli, VexellDll.so and bench_bare_pipeline.
set -euo pipefail

if [[ $# -lt 1 ]]; then
  echo "usage: $0 BUILD [RUNS]" >&2
  exit 2
fi
bin=$(cd "$1/bin" && pwd)
runs=${2:-7}
for tool in vexel2d-cli bench_bare_pipeline; do
  [[ -x "$bin/$tool" ]] || { echo "$bin/$tool is missing: build it first" >&2; exit 1; }
done
[[ -x /usr/bin/time ]] || { echo "/usr/bin/time is missing: apt-get install time" >&2; exit 1; }
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cli="$bin/vexel2d-cli"
bare="$bin/bench_bare_pipeline"

"$cli" make-workspace ws >/dev/null
corners=$("$bare" make-room .)
tile=ws/product/jpg/PG-8007.jpg   # 800 x 800 mm; the floor is 4000 x 6600 mm
tiles=5x9
"$cli" render room.v2d --product "$tile" --regions 地面 --size 800x800 --save tiled.v2d -o tiled.jpg >/dev/null

# Runs a command once; appends "SECONDS KB" to the file named first.
measure() {
  local into=$1 start end
  shift
  start=$EPOCHREALTIME
  /usr/bin/time -f %M -o "$work/rss" "$@" >/dev/null 2>"$work/err" || { cat "$work/err" >&2; exit 1; }
  end=$EPOCHREALTIME
  echo "$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }') $(tail -n 1 "$work/rss")" >>"$into"
}

# median of column 1 and largest of column 2 of a file
summary() { sort -n -k1,1 "$1" | awk '{ t[NR] = $1; if ($2 > m) m = $2 } END { printf "%.4f %d\n", t[int((NR + 1) / 2)], m }'; }

compare() {  # NAME -- OURS... -- BARE...
  local name=$1 ours=() theirs=() i
  shift 2
  while [[ $1 != -- ]]; do ours+=("$1"); shift; done
  shift
  theirs=("$@")
  rm -f ours.txt bare.txt
  for ((i = 0; i < runs; ++i)); do
    measure ours.txt "${ours[@]}"
    measure bare.txt "${theirs[@]}"
  done
  read -r t1 m1 < <(summary ours.txt)
  read -r t2 m2 < <(summary bare.txt)
  memory_ratio=$(awk -v a="$m1" -v b="$m2" 'BEGIN { printf "%.2f", a / b }')
  awk -v n="$name" -v t1="$t1" -v t2="$t2" -v m1="$m1" -v m2="$m2" 'BEGIN {
    printf "command %-10s %6.0f ms vs bare %6.0f ms = %.2fx; peak memory %4.0f MB vs %4.0f MB = %.2fx\n",
      n, t1 * 1000, t2 * 1000, t1 / t2, m1 / 1024, m2 / 1024, m1 / m2 }'
}

compare render -- "$cli" render room.v2d --product "$tile" --regions 地面 --size 800x800 -o ours.jpg \
  -- "$bare" warp photo.jpg "$tile" "$corners" "$tiles" 95 bare.jpg
render_memory=$memory_ratio
compare 'render*' -- "$cli" render room.v2d --product "$tile" --regions 地面 --size 800x800 -o ours.jpg \
  -- "$bare" warp background.jpg "$tile" "$corners" "$tiles" 95 bare.jpg
compare new-scheme -- "$cli" new-scheme photo.jpg -o new.v2d \
    --region "地面:0,2999;1300,1900;2700,1900;3999,2999:4000x6600" \
    --region "背景墙:1300,300;2700,300;2700,1900;1300,1900:4000x2800" \
    --region "左墙:0,0;1300,300;1300,1900;0,2999:6600x2800" \
    --region "右墙:2700,300;3999,0;3999,2999;2700,1900:6600x2800" \
  -- "$bare" codec photo.jpg 100 bare.jpg
compare report -- "$cli" --workspace ws report tiled.v2d -o report \
  -- "$bare" warp photo.jpg "$tile" "$corners" "$tiles" 75 bare.jpg

# find-room on a 48-megapixel photo (the demo room enlarged to 8000 x 6000)
# must stay under 600 MB; it is timed against decoding and encoding it.
convert photo.jpg -resize 8000x6000! -quality 92 photo48.jpg
compare find-room -- "$cli" find-room photo48.jpg --at 4000,5600 -- "$bare" codec photo48.jpg 100 bare.jpg
room_peak_mb=$(summary ours.txt | awk '{ printf "%d", $2 / 1024 }')
if ((room_peak_mb > 600)); then
  echo "find-room on 48 megapixels peaks at ${room_peak_mb} MB: more than 600 MB" >&2
  exit 1
fi

most=1.4
if awk -v r="$render_memory" -v m="$most" 'BEGIN { exit !(r > m) }'; then
  echo "render's peak memory is ${render_memory}x the bare pipeline's: more than ${most}x" >&2
  exit 1
fi
echo "render's peak memory is ${render_memory}x the bare pipeline's (at most ${most}x)"
