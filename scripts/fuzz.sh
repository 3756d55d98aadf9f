#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/ and runs each for SECONDS
# (default 60), starting from its seeds in fuzz/corpus/<target>/. A crash or a
# broken invariant fails the run; its reproducer is printed in hex and kept
# as build-fuzz/artifacts/<target>/crash-*.
# Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cxx=$(command -v clang++ || command -v clang++-14)
CXX=$cxx cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTESSRA_FUZZ=ON "${launcher[@]}" >/dev/null
cmake --build build-fuzz --target tessra_fuzzers

targets=(build-fuzz/fuzz/*_fuzz build-fuzz/sim/tessra_sim_engine_fuzz)
failed=()
for target in "${targets[@]}"; do
    name=$(basename "$target")
    seeds=fuzz/corpus/${name%_fuzz}
    work=build-fuzz/corpus/$name
    artifacts=build-fuzz/artifacts/$name
    mkdir -p "$work" "$artifacts"
    [ -d "$seeds" ] || seeds=
    echo "== $name: ${seconds} s"
    # Qt keeps a few allocations until exit; leaks are not what this looks for.
    if ASAN_OPTIONS=detect_leaks=0 "$target" -max_total_time="$seconds" -max_len=4096 \
        -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" \
        "$work" ${seeds:+"$seeds"} >"$artifacts/log" 2>&1; then
        grep -aE "^stat::number_of_executed_units|DONE" "$artifacts/log" | tail -2
    else
        cat "$artifacts/log" | tail -60
        for crash in "$artifacts"/crash-* "$artifacts"/timeout-* "$artifacts"/oom-*; do
            [ -e "$crash" ] || continue
            echo "reproducer $crash:"
            od -An -tx1 -v "$crash" | head -40
        done
        failed+=("$name")
    fi
done
if ((${#failed[@]})); then
    echo "fuzzing failed: ${failed[*]}" >&2
    exit 1
fi
echo "fuzzing passed: ${#targets[@]} targets, ${seconds} s each"
