#!/usr/bin/env bash
# Installs what is missing, builds, runs every test, then builds the Debian
# package and checks its files and dependencies.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
(cd build && ctest --output-on-failure --timeout 120)
deb=$(bash scripts/package.sh)
bash scripts/check-package.sh "$deb"
