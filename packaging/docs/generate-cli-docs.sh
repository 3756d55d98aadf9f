#!/bin/sh
# Feeds the built tool's --help and its list of run names to the generator.
# Usage: generate-cli-docs.sh TESSRA_CLI GENERATOR MANPAGE COMPLETION
set -e
{ "$1" --help; "$1" run '?' || true; } 2>&1 | "$2" "$3" "$4"
