#!/usr/bin/env bash
# Opens the utility on a virtual 1280x720 screen and saves a picture of it.
# Usage: scripts/screenshot.sh [utility] [out.png]
set -euo pipefail
cd "$(dirname "$0")/.."
utility=${1:-build/app/tessra-printer-utility}
out=${2:-docs/window.png}

if ! command -v import >/dev/null || ! command -v xvfb-run >/dev/null; then
    echo "Needs xvfb-run and ImageMagick's import: apt-get install xvfb xauth imagemagick" >&2
    exit 1
fi

xvfb-run -a -s "-screen 0 1280x720x24" bash -c '
    "$1" &
    pid=$!
    sleep 3
    import -window root "$2"
    kill "$pid"
' _ "$utility" "$out"
echo "Saved $out"
