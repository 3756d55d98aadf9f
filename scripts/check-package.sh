#!/usr/bin/env bash
# Checks a built .deb: the files it must hold, its Debian dependencies and
# its desktop entry. Usage: scripts/check-package.sh PACKAGE.deb
set -euo pipefail
deb=${1:?usage: check-package.sh PACKAGE.deb}
failed=0
fail() {
    echo "check-package: $*" >&2
    failed=1
}

programs=(tessra-printer-utility tessra-cli tessra-station tessra-printer-sim)
expected_files=(
    ./usr/share/applications/tessra-printer-utility.desktop
    ./usr/share/applications/tessra-station.desktop
    ./usr/share/bash-completion/completions/tessra-cli
    ./usr/share/icons/hicolor/scalable/apps/tessra-printer-utility.svg
    ./usr/share/doc/tessra-printer-utility/README.md
    ./usr/share/doc/tessra-printer-utility/copyright
    ./usr/share/doc/tessra-printer-utility/changelog.gz
    ./usr/lib/udev/rules.d/70-tessra-serial-modemmanager.rules
    ./usr/lib/udev/rules.d/70-tessra-serial-uaccess.rules
    ./usr/lib/udev/rules.d/70-tessra-ftdi-latency.rules
)
for p in "${programs[@]}"; do
    expected_files+=("./usr/bin/$p" "./usr/share/man/man1/$p.1.gz")
done
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in "${expected_files[@]}"; do
    grep -qxF "$f" <<<"$contents" || fail "missing $f"
done

[ "$(dpkg-deb -f "$deb" Package)" = tessra-printer-utility ] || fail "wrong package name"
depends=$(dpkg-deb -f "$deb" Depends)
# One package name a line, versions and alternatives split off.
depends_names=$(tr ',|' '\n' <<<"$depends" | sed 's/^ *//; s/[ (].*//')
for p in libc6 libstdc++6 libqt6core6 libqt6widgets6 libqt6serialport6 \
    libqt6sql6 libqt6sql6-sqlite libqt6sql6-psql; do
    grep -qxF "$p" <<<"$depends_names" || fail "Depends lacks $p: $depends"
done
twice=$(sort <<<"$depends_names" | uniq -d)
[ -z "$twice" ] || fail "Depends names twice: $twice"
description=$(dpkg-deb -f "$deb" Description)
for p in "${programs[@]}"; do
    grep -qw -- "$p" <<<"$description" || fail "the description does not name $p"
done

# Debian's own checker: no error and no warning.
if command -v lintian >/dev/null; then
    lintian --fail-on error,warning "$deb" || fail "lintian reports errors or warnings"
else
    fail "lintian is not installed (scripts/install-deps.sh installs it)"
fi

if command -v desktop-file-validate >/dev/null; then
    tmp=$(mktemp -d)
    trap 'rm -rf "$tmp"' EXIT
    dpkg-deb -x "$deb" "$tmp"
    desktop-file-validate "$tmp/usr/share/applications/tessra-printer-utility.desktop" ||
        fail "desktop entry does not validate"
    exec_line=$(sed -n 's/^Exec=//p' "$tmp/usr/share/applications/tessra-printer-utility.desktop")
    [ -x "$tmp/usr/bin/${exec_line%% *}" ] || fail "Exec=$exec_line is not a program in the package"
    station_entry="$tmp/usr/share/applications/tessra-station.desktop"
    if [ -f "$station_entry" ]; then
        desktop-file-validate "$station_entry" || fail "station desktop entry does not validate"
    fi
    bash "$(dirname "$0")/check-udev-rules.sh" "$tmp"/usr/lib/udev/rules.d/*.rules ||
        fail "udev rules do not check"
fi

((failed == 0)) || exit 1
echo "check-package: $(basename "$deb") holds the expected files; Depends: $depends"
