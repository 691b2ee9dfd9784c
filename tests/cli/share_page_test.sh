#!/bin/bash
# The customer page as a customer gets it: headless Chromium at a phone's and a desktop's size (pictures loaded,
# nothing wider than the screen, the handle following a drag), served by vexel2d-web and nginx, the PDF's QR code read.
# share_page_test.sh VEXEL2D-CLI VEXEL2D-WEB; SHOTS_DIR=DIR keeps the screenshots; 77: a tool is missing.
set -u
cli=$1 web=$2
for t in chromium nginx curl pdftoppm pdfinfo zbarimg python3; do command -v $t >/dev/null || { echo "skipped: no $t"; exit 77; }; done
out=$(mktemp -d /tmp/vexel-share-page.XXXXXX)
chmod 755 "$out"  # the nginx worker reads it as another user
pids=() failed=0
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done; rm -rf "$out"' EXIT
fail() { echo "FAILED: $*"; failed=1; }
browser() { chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --user-data-dir="$out/profile" "$@" 2>/dev/null; }
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }

# A demo shop and its bedroom template, published under a catalogue's share/.
ws=$out/ws root=$out/root
"$cli" make-workspace "$ws" >/dev/null && echo "SaleName=木语家居体验馆" >>"$ws/vexel2d.ini" || { fail make-workspace; exit 1; }
scheme=$ws/temple/local/$("$cli" --workspace "$ws" templates --page-size 50 | python3 -c \
    'import json,sys; print([t["id"] for t in json.load(sys.stdin)["templates"] if t["name"]=="美式乡村卧室"][0])').v2d
"$web" make-catalogue "$root" >/dev/null || { fail make-catalogue; exit 1; }
"$web" --root "$root" --port 0 --ready "$out/ready" >/dev/null & pids+=($!)
for _ in $(seq 100); do [ -s "$out/ready" ] && break; sleep 0.1; done
vexel=$(cat "$out/ready") page=$root/share/bed
"$cli" --workspace "$ws" share "$scheme" -o "$root/share/bed" --url "$vexel/share/bed/" >"$out/share.json" 2>"$out/share.log" ||
    { cat "$out/share.log"; fail share; exit 1; }
address=$vexel/share/bed/index.html
grep -q "\"address\":\"$address\"" "$out/share.json" || fail "share printed $(cat "$out/share.json")"

# (a) A drag from the middle to a fifth of the way moves the handle, the range input and the clip.
sed 's#</body>#<script src="probe.js"></script></body>#' "$page/index.html" >"$page/probe.html"
cat >"$page/probe.js" <<'EOF'
window.addEventListener('load', function () {
  var images = [].slice.call(document.images), broken = images.filter(function (i) { return !i.naturalWidth; });
  var box = document.getElementById('compare'), handle = document.getElementById('compare-handle'), r = box.getBoundingClientRect();
  function pointer(type, share) {
    handle.dispatchEvent(new PointerEvent(type, {bubbles: true, pointerId: 7, pointerType: 'touch', isPrimary: true,
                                                 clientX: r.left + r.width * share, clientY: r.top + r.height / 2}));
  }
  var start = box.getAttribute('data-pos'), clip;
  pointer('pointerdown', 0.5); pointer('pointermove', 0.35); pointer('pointermove', 0.2); pointer('pointerup', 0.2);
  clip = getComputedStyle(box.querySelector('.before')).clipPath;
  document.body.appendChild(document.createElement('p')).textContent = 'RESULT images=' + images.length + ' broken=' + broken.length + ' start=' + start + ' end=' +
    box.getAttribute('data-pos') + ' range=' + document.getElementById('compare-range').value +
    ' clip=' + clip.replace(/ /g, '') + ' wide=' + (document.documentElement.scrollWidth > innerWidth);
});
EOF
check_probe() {  # SIZE URL
    local result=$(browser --virtual-time-budget=10000 --window-size="$1" --dump-dom "$2" | grep -o 'RESULT[^<]*')
    [[ $result == *"images=$(grep -o '<img' "$page/index.html" | wc -l) broken=0 start=50.0 end=20.0 range=20 clip=inset(0px80%0px0px)"*"wide=false" ]] ||
        fail "page test at $1 on $2: $result"
}
for size in 390,844 1600,1000; do check_probe "$size" "file://$page/probe.html"; done
shots=$out/shots && mkdir -p "$shots"
for s in phone:390,844 phone-whole:390,3000 desktop:1600,1000 desktop-whole:1600,2000; do
    browser --window-size="${s#*:}" --screenshot="$shots/${s%%:*}.png" "file://$page/index.html"
    [ -s "$shots/${s%%:*}.png" ] || fail "no screenshot $s"
done

# (b) From vexel2d-web and nginx: the page, every file it names byte for byte with its type, the page test.
port=$(free_port) && mkdir -p "$out/nginx"
cat >"$out/nginx.conf" <<EOF
daemon off; worker_processes 1; pid $out/nginx/nginx.pid; error_log $out/nginx/error.log;
events {}
http {
    include /etc/nginx/mime.types; access_log off;
    client_body_temp_path $out/nginx/b; proxy_temp_path $out/nginx/p; fastcgi_temp_path $out/nginx/f;
    uwsgi_temp_path $out/nginx/u; scgi_temp_path $out/nginx/s; charset utf-8;
    server { listen 127.0.0.1:$port; root $root; }
}
EOF
nginx -c "$out/nginx.conf" -p "$out/nginx" 2>"$out/nginx/start.log" & pids+=($!) nginx=http://127.0.0.1:$port
for _ in $(seq 100); do curl -fs -o /dev/null "$nginx/share/bed/" && break; sleep 0.1; done
curl -fs -o /dev/null "$nginx/share/bed/" || fail "nginx did not start: $(cat "$out/nginx/start.log" "$out/nginx/error.log")"
for server in "$vexel" "$nginx"; do
    curl -fsS "$server/share/bed/" | grep -q "木语家居体验馆" || fail "$server/share/bed/ lacks the shop"
    for file in index.html $(grep -o "\(src\|href\)='[^':]*'" "$page/index.html" | cut -d"'" -f2 | sort -u); do
        type=$(curl -fsS -o "$out/got" -w '%{content_type}' "$server/share/bed/$file") || { fail "$server: $file"; continue; }
        cmp -s "$out/got" "$page/$file" || fail "$server: $file differs"
        case $file in
            *.jpg) [ "$type" = image/jpeg ] ;; *.pdf) [ "$type" = application/pdf ] ;; *) [[ $type == text/html* ]] ;;
        esac || fail "$server: $file came as $type"
    done
    check_probe 390,844 "$server/share/bed/probe.html"
done

# (c) The PDF: A4, the rendering, products and quote on the first page, whose QR code reads as the page's
# address; the laying plans may take a second.
# A build without the PDF printer (the sanitizers' build) writes the page alone.
if [ ! -f "$(dirname "$cli")/vexel2d-pdf.so" ] && [ ! -f "$page/index.pdf" ]; then
    echo "no PDF printer in this build: the PDF's checks are skipped"
else
    pdfinfo "$page/index.pdf" | grep -Eq '^Pages: *[12]$' || fail "the PDF is not one or two pages: $(pdfinfo "$page/index.pdf" | grep Pages)"
    pdfinfo "$page/index.pdf" | grep -q 'Page size: .* pts (A4)' || fail "the PDF is not A4"
    pdftoppm -r 150 -png "$page/index.pdf" "$shots/pdf"
    read_back=$(zbarimg --raw -q "$shots"/pdf-1.png)
    [ "$read_back" = "$address" ] || fail "the PDF's QR code reads \"$read_back\", not $address"
fi

if [ -n "${SHOTS_DIR:-}" ]; then mkdir -p "$SHOTS_DIR" && cp "$shots"/*.png "$SHOTS_DIR/"; fi
[ $failed = 0 ] && echo "share page: all checks passed"
exit $failed
