#!/usr/bin/env bash
# vexel2d-cli share on a 4000 x 3000 scene with its floor tiled: the folder
# without the PDF (goal: under 2 s), and with the PDF printed by the browser
# engine. Wall time is the median of RUNS runs; peak memory the largest
# resident set /usr/bin/time reports.
#
#   scripts/bench-share.sh BUILD [RUNS]
#
# Builds nothing: BUILD/bin must hold vexel2d-cli, VexellDll.so and vexel2d-pdf.so.
set -euo pipefail
[[ $# -ge 1 ]] || { echo "usage: $0 BUILD [RUNS]" >&2; exit 2; }
cli=$(cd "$1/bin" && pwd)/vexel2d-cli
runs=${2:-5}
for tool in "$cli" /usr/bin/time convert; do command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 1; }; done
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

"$cli" make-workspace ws >/dev/null
"$cli" --workspace ws share ws/start/start.v2d -o small --no-pdf 2>/dev/null >/dev/null
convert small/photo.jpg -resize 4000x3000! -quality 92 photo.jpg
"$cli" new-scheme photo.jpg -o room.v2d \
  --region "地面:0,2999;1300,1900;2700,1900;3999,2999:4000x6600" \
  --region "背景墙:1300,300;2700,300;2700,1900;1300,1900:4000x2800" >/dev/null
"$cli" render room.v2d --product ws/product/jpg/PG-8007.jpg --regions 地面 --size 800x800 --save tiled.v2d \
  -o tiled.jpg >/dev/null

timed() {  # LABEL ARGS...: median seconds and peak MB over the runs
  local label=$1 i start end
  shift
  rm -f times.txt
  for ((i = 0; i < runs; ++i)); do
    start=$EPOCHREALTIME
    /usr/bin/time -f %M -o rss "$cli" --workspace ws share tiled.v2d -o page "$@" >/dev/null 2>err || { cat err >&2; exit 1; }
    end=$EPOCHREALTIME
    echo "$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }') $(tail -n 1 rss)" >>times.txt
  done
  sort -n -k1,1 times.txt | awk -v n="$label" '{ t[NR] = $1; if ($2 > m) m = $2 }
    END { printf "share %-22s %6.0f ms (median of %d), peak memory %4.0f MB\n", n, t[int((NR + 1) / 2)] * 1000, NR, m / 1024 }'
}
timed "4000x3000 without PDF" --no-pdf --url http://127.0.0.1:8080/share/page
timed "4000x3000 with PDF" --url http://127.0.0.1:8080/share/page
