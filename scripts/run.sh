#!/bin/bash
# Starts the embedded catalogue service on 127.0.0.1 and a free port, writes
# its address into the workspace's settings, then runs the program in the
# foreground. The service ends with the program.
set -u
build=${1:-build}
bin="$build/bin"
ready=$(mktemp -u /tmp/vexel2d-web-ready.XXXXXX)
"$bin/vexel2d-web" --root "$build/webroot" --host 127.0.0.1 --port 0 --workspace "$bin" \
    --ready "$ready" --exit-with-parent &
service=$!
trap 'kill $service 2>/dev/null; wait $service 2>/dev/null; rm -f "$ready"' EXIT
for _ in $(seq 200); do
    [ -s "$ready" ] && break
    kill -0 $service 2>/dev/null || { echo "vexel2d-web did not start" >&2; exit 1; }
    sleep 0.05
done
cd "$bin" && ./vexel2d
