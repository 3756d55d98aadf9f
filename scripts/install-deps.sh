#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the window and the
# Debian package (dpkg-shlibdeps, file, desktop-file-validate, lintian) need, only
# those that are missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-serialport-dev libgl-dev
    libqt6sql6-sqlite libqt6sql6-psql postgresql
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth fonts-nanum
    dpkg-dev file desktop-file-utils
    lintian
    clang-14 libclang-rt-14-dev  # the fuzz targets: clang, libFuzzer and the sanitizers
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
