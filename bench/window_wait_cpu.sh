#!/usr/bin/env bash
# CPU share of the real window while it waits for a silent printer: starts
# the virtual printer with --no-reply and runs window_wait_bench on a virtual
# screen. Usage: bench/window_wait_cpu.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

if ! command -v xvfb-run >/dev/null; then
    echo "Needs xvfb-run: apt-get install xvfb xauth" >&2
    exit 1
fi

dir=$(mktemp -d)
"$build/sim/tessra-printer-sim" --link "$dir/com1" --log "$dir/transcript" --no-reply >/dev/null &
sim=$!
trap 'kill $sim 2>/dev/null || true; rm -rf "$dir"' EXIT
for _ in $(seq 50); do [ -e "$dir/com1" ] && break; sleep 0.1; done

TESSRA_COM1="$dir/com1" QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x720x24" "$build/bench/window_wait_bench"
