#!/usr/bin/env bash
# Checks udev rules files: with `udevadm verify` where it exists (systemd 254
# and later), else by parsing each rule as udev does: KEY OP "VALUE" pairs
# joined by commas, with keys udev knows and the operator each allows. Then
# checks that the adapter settings the package promises are assigned.
# Usage: scripts/check-udev-rules.sh FILE.rules...
set -euo pipefail
(($#)) || { echo "usage: check-udev-rules.sh FILE.rules..." >&2; exit 2; }
failed=0
fail() {
    echo "check-udev-rules: $*" >&2
    failed=1
}

if udevadm verify --help >/dev/null 2>&1; then
    udevadm verify --resolve-names=never "$@" || failed=1
fi

match_keys='ACTION|DEVPATH|KERNEL|KERNELS|NAME|SYMLINK|SUBSYSTEM|SUBSYSTEMS|DRIVER|DRIVERS|TAG|TAGS|TEST|PROGRAM|RESULT|CONST'
match_braced='ATTR|ATTRS|SYSCTL|ENV|TEST|CONST'
assign_keys='NAME|SYMLINK|OWNER|GROUP|MODE|TAG|RUN|LABEL|GOTO|IMPORT|OPTIONS|SECLABEL|WAIT_FOR|PROGRAM'
assign_braced='ATTR|SYSCTL|ENV|RUN|IMPORT|SECLABEL'
pair='^[[:space:]]*([A-Z_]+)(\{[^}]+\})?[[:space:]]*(==|!=|\+=|-=|:=|=)[[:space:]]*"([^"]*)"[[:space:]]*(,|$)'
assigned=""
for file in "$@"; do
    n=0
    while IFS= read -r line || [ -n "$line" ]; do
        n=$((n + 1))
        [[ $line =~ ^[[:space:]]*(#|$) ]] && continue
        rest=$line
        matches=0
        assignments=0
        while [ -n "${rest//[[:space:]]/}" ]; do
            if ! [[ $rest =~ $pair ]]; then
                fail "$file:$n: not KEY OP \"VALUE\": $rest"
                break
            fi
            key=${BASH_REMATCH[1]} attr=${BASH_REMATCH[2]} op=${BASH_REMATCH[3]}
            value=${BASH_REMATCH[4]}
            rest=${rest:${#BASH_REMATCH[0]}}
            if [[ $op == "==" || $op == "!=" ]]; then
                matches=$((matches + 1))
                if [ -n "$attr" ]; then [[ $key =~ ^($match_braced)$ ]]; else [[ $key =~ ^($match_keys)$ ]]; fi ||
                    fail "$file:$n: $key$attr cannot be matched"
            else
                assignments=$((assignments + 1))
                if [ -n "$attr" ]; then [[ $key =~ ^($assign_braced)$ ]]; else [[ $key =~ ^($assign_keys)$ ]]; fi ||
                    fail "$file:$n: $key$attr cannot be assigned"
                assigned+="$key$attr$op\"$value\""$'\n'
            fi
        done
        ((matches > 0 && assignments > 0)) || fail "$file:$n: a rule needs a match and an assignment"
        [[ $line =~ SUBSYSTEM== ]] || fail "$file:$n: a rule names its SUBSYSTEM"
    done <"$file"
done

for promised in 'ENV{ID_MM_DEVICE_IGNORE}="1"' 'TAG+="uaccess"' 'ATTR{latency_timer}="1"'; do
    grep -qxF "$promised" <<<"$assigned" || fail "no rule assigns $promised"
done
((failed == 0)) || exit 1
echo "check-udev-rules: $# files of rules are well formed"
