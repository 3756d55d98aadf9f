#!/usr/bin/env bash
# Installs what running the programs needs (not the test, package or fuzz
# tools), builds the four programs (not the tests), starts two virtual
# printers, prints a line to paste for the command line, the station and the
# transcript, and opens the utility with COM1 pointed at the first printer.
# Closing the window stops the virtual printers.
# With --real, opens the utility alone, for a printer on a real port.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh run
TESSRA_TESTS=OFF bash scripts/build.sh tessra-printer-utility tessra-cli tessra-station \
    tessra-printer-sim

utility=build/app/tessra-printer-utility
if [ "${1:-}" = "--real" ]; then
    exec "$utility"
fi

# Everything of the trial in one folder, the ledger included, so that the
# user's own ledger stays untouched.
try="${TMPDIR:-/tmp}/tessra-try"
mkdir -p "$try"
sims=()
trap 'kill "${sims[@]}" 2>/dev/null || true' EXIT
for n in 1 2; do
    build/sim/tessra-printer-sim --link "$try/com$n" --log "$try/printer$n.log" \
        --state "$try/printer$n.state" --mac "0A:5C:3E:00:00:0$n" >/dev/null &
    sims+=($!)
done
for _ in $(seq 50); do [ -e "$try/com1" ] && [ -e "$try/com2" ] && break; sleep 0.1; done

# A recipe for the station: the second printer's own settings, an address
# range and a customer code.
build/cli/tessra-cli --port "$try/com2" --line 9600,n settings save "$try/try.tessra" >/dev/null
cat >"$try/try.recipe" <<'EOF'
tessra-recipe 1
name = try
settings = try.tessra
mac-range = 0A:5C:3E:00:10:00-0A:5C:3E:00:1F:FF
customer-code = 42
EOF

bin="$PWD/build"
export TESSRA_LEDGER="$try/ledger.sqlite" TESSRA_COM1="$try/com1"
cat <<EOF
Virtual printers on $try/com1 (the window's COM1) and $try/com2; password Kovak.
Paste into another terminal:
  $bin/cli/tessra-cli --port $try/com1 settings show
  TESSRA_PASSWORD=Kovak $bin/cli/tessra-cli --ledger $TESSRA_LEDGER station --slots $try/com2 --count 1 $try/try.recipe
  tail -f $try/printer1.log $try/printer2.log
EOF
"$utility"
