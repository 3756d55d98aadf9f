#!/usr/bin/env bash
# Installs what is missing, builds the utility and the virtual printer (not
# the tests), starts the virtual printer on a pseudo-terminal and opens the
# utility with COM1 pointed at it.
# With --real, opens the utility alone, for a printer on a real port.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
TESSRA_TESTS=OFF bash scripts/build.sh tessra-printer-utility tessra-printer-sim

utility=build/app/tessra-printer-utility
if [ "${1:-}" = "--real" ]; then
    exec "$utility"
fi

link="${TMPDIR:-/tmp}/tessra-com1"
log="${TMPDIR:-/tmp}/tessra-printer.log"
build/sim/tessra-printer-sim --link "$link" --log "$log" &
sim=$!
trap 'kill $sim 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done
echo "Virtual printer on $link (COM1); its transcript: $log"
TESSRA_COM1="$link" "$utility"
