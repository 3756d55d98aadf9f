#!/usr/bin/env bash
# Configures and builds into build/ (warnings are errors under CI=true).
# Usage: scripts/build.sh [target...]   (no target: everything)
set -euo pipefail
cd "$(dirname "$0")/.."
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# TESSRA_TESTS=OFF leaves the tests out (no GoogleTest or Qt Test needed).
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSRA_WERROR="$werror" \
    -DBUILD_TESTING="${TESSRA_TESTS:-ON}" "${launcher[@]}" >/dev/null
if (($#)); then
    cmake --build build --target "$@"
else
    cmake --build build
fi
