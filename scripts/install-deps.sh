#!/usr/bin/env bash
# Installs the Debian packages of the groups named, only those that are
# missing. Usage: scripts/install-deps.sh [GROUP...]   (no group: all of them)
#   run      building the four programs and running them
#   test     the tests and benchmarks: GoogleTest, PostgreSQL, a virtual display
#   package  the Debian package and its checks (dpkg-shlibdeps, file,
#            desktop-file-validate, lintian)
#   fuzz     the fuzz targets: clang, libFuzzer and the sanitizers
set -euo pipefail

declare -A groups=(
    [run]="cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev libgl-dev
           libqt6sql6-sqlite libqt6sql6-psql fonts-nanum"
    [test]="postgresql libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth"
    [package]="dpkg-dev file desktop-file-utils lintian"
    [fuzz]="clang-14 libclang-rt-14-dev"
)
chosen=("$@")
((${#chosen[@]})) || chosen=(run test package fuzz)

packages=()
for g in "${chosen[@]}"; do
    [ -n "${groups[$g]+set}" ] || {
        echo "install-deps: unknown group $g (run, test, package, fuzz)" >&2
        exit 2
    }
    for p in ${groups[$g]}; do packages+=("$p"); done
done

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
