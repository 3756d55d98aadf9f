#!/usr/bin/env bash
# Configures and builds into build/ (warnings are errors under CI=true).
set -euo pipefail
cd "$(dirname "$0")/.."
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSRA_WERROR="$werror" >/dev/null
cmake --build build
