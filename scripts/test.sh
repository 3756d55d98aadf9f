#!/usr/bin/env bash
# Installs what is missing, builds, builds the Debian package and checks its
# files and dependencies, runs each fuzz target for 20 s, then runs every test
# (ctest's summary comes last).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh  # every group: run, test, package, fuzz
TESSRA_TESTS=ON bash scripts/build.sh
deb=$(bash scripts/package.sh)
bash scripts/check-package.sh "$deb"
bash scripts/fuzz.sh 20
(cd build && ctest --output-on-failure --timeout 120 -j"$(nproc)")
