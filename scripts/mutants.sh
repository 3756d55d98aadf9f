#!/usr/bin/env bash
# Mutation testing, run by hand (far too slow for CI): puts each realistic
# fault listed in scripts/mutants.txt into a scratch copy of the tree in turn,
# rebuilds incrementally and runs the tests. A fault the tests catch is
# "killed", one they miss "survived": a gap in the tests, or a harmless change.
set -euo pipefail
shopt -u patsub_replacement 2>/dev/null || true  # '&' in a replacement stays literal

usage() {
    cat <<'EOF'
Usage: scripts/mutants.sh [options] [ID ...]

Applies each fault of scripts/mutants.txt (or only those whose id matches an
ID, shell patterns allowed: 'sim-*') to a scratch copy of the work tree,
rebuilds it incrementally, runs ctest, restores the file and prints
"killed" or "survived" per fault, then the totals.

Options:
  --check         only check that every find text occurs exactly once; no build
  --list          print the ids and descriptions
  --keep-going    carry on after a stale record or a build failure
  --from ID       start at the fault ID, in the list's order (to go on with a
                  run that was stopped; with --no-baseline, at once)
  --no-baseline   skip building and testing the unchanged copy first
  --scratch DIR   scratch folder (default: $TMPDIR/tessra-mutants, or /tmp)
  --jobs N        parallel build and test jobs (default 2)
  --timeout S     ctest timeout per test without its own (default 30)
  --faults FILE   another fault list
  -h, --help      this text

Exit status: 0 when every fault ran (survivors included), 1 after a stale
record or a build failure, 2 for bad usage or a broken fault list.
EOF
}

die() {
    echo "mutants: $*" >&2
    exit 2
}

root=$(cd "$(dirname "$0")/.." && pwd)
faults_file="$root/scripts/mutants.txt"
scratch="${TMPDIR:-/tmp}/tessra-mutants"
jobs=2
test_timeout=30
keep_going=false
check_only=false
list_only=false
baseline=true
from=""
patterns=()

while (($#)); do
    case "$1" in
        --check) check_only=true ;;
        --list) list_only=true ;;
        --keep-going) keep_going=true ;;
        --no-baseline) baseline=false ;;
        --from) from=${2:?--from needs a fault id} && shift ;;
        --scratch) scratch=${2:?--scratch needs a folder} && shift ;;
        --jobs) jobs=${2:?--jobs needs a number} && shift ;;
        --timeout) test_timeout=${2:?--timeout needs seconds} && shift ;;
        --faults) faults_file=${2:?--faults needs a file} && shift ;;
        -h | --help) usage && exit 0 ;;
        -*) die "unknown option $1 (see --help)" ;;
        *) patterns+=("$1") ;;
    esac
    shift
done

# ---- The fault list --------------------------------------------------------
# Records of five "key: value" lines (id, file, find, replace, desc) separated
# by blank lines; '#' starts a comment line. Values are taken literally after
# "key: "; an empty replace deletes the find text.

ids=() files=() finds=() replaces=() descs=()

read_faults() {
    [[ -f $faults_file ]] || die "no fault list at $faults_file"
    local line key value n=0 start=0
    local -A record=() seen=()
    flush_record() {
        ((${#record[@]})) || return 0
        local k
        for k in id file find replace desc; do
            [[ -v record[$k] ]] || die "$faults_file:$start: record without '$k:'"
        done
        [[ -n ${record[id]} && -n ${record[file]} && -n ${record[find]} ]] ||
            die "$faults_file:$start: id, file and find must not be empty"
        [[ -z ${seen[${record[id]}]:-} ]] || die "$faults_file:$start: id ${record[id]} twice"
        seen[${record[id]}]=1
        ids+=("${record[id]}") files+=("${record[file]}") finds+=("${record[find]}")
        replaces+=("${record[replace]}") descs+=("${record[desc]}")
        record=()
    }
    while IFS= read -r line || [[ -n $line ]]; do
        n=$((n + 1))
        [[ $line == \#* ]] && continue
        if [[ -z ${line//[[:space:]]/} ]]; then
            flush_record
            continue
        fi
        [[ $line =~ ^(id|file|find|replace|desc):\ ?(.*)$ ]] ||
            die "$faults_file:$n: expected 'id:', 'file:', 'find:', 'replace:' or 'desc:'"
        key=${BASH_REMATCH[1]} value=${BASH_REMATCH[2]}
        ((${#record[@]})) || start=$n
        [[ -v record[$key] ]] && die "$faults_file:$n: '$key:' twice in one record"
        record[$key]=$value
    done <"$faults_file"
    flush_record
}

read_faults

selected=()
if ((${#patterns[@]})); then
    for pattern in "${patterns[@]}"; do
        matched=false
        for i in "${!ids[@]}"; do
            # shellcheck disable=SC2053  # the pattern is meant to glob
            if [[ ${ids[i]} == $pattern ]]; then
                matched=true
                [[ " ${selected[*]-} " == *" $i "* ]] || selected+=("$i")
            fi
        done
        $matched || die "no fault matches '$pattern' (see --list)"
    done
else
    selected=("${!ids[@]}")
fi
if [[ -n $from ]]; then
    start=-1
    for k in "${!selected[@]}"; do
        [[ ${ids[selected[k]]} == "$from" ]] && start=$k && break
    done
    ((start >= 0)) || die "--from: no selected fault has the id '$from' (see --list)"
    selected=("${selected[@]:start}")
fi

if $list_only; then
    for i in "${selected[@]}"; do printf '%-28s %s\n' "${ids[i]}" "${descs[i]}"; done
    exit 0
fi

# ---- Stale records ---------------------------------------------------------

# Why the record cannot be applied to the tree under $1, or nothing.
stale_reason() {
    local tree=$1 i=$2 count
    local path="$tree/${files[i]}"
    if [[ ! -f $path ]]; then
        echo "${files[i]}: no such file"
        return
    fi
    count=$(grep -F -o -e "${finds[i]}" -- "$path" | wc -l || true)
    ((count == 1)) || echo "find text occurs $count times in ${files[i]} (needs exactly 1)"
}

# Up to five files of the tree that hold the find text: where a moved line went.
now_found_in() {
    local tree=$1 i=$2
    (cd "$tree" && git -C "$root" ls-files -co --exclude-standard -z -- ':!scripts/mutants.*' |
        xargs -0 grep -l -F -e "${finds[i]}" -- 2>/dev/null |
        awk 'NR <= 5 {printf "%s%s", sep, $0; sep = " "} END {if (NR > 5) printf " (%d more)", NR - 5}') ||
        true
}

# Prints every stale record; returns 1 when there is one.
check_records() {
    local tree=$1 i reason where bad=0
    for i in "${selected[@]}"; do
        reason=$(stale_reason "$tree" "$i")
        [[ -z $reason ]] && continue
        bad=1
        printf 'stale         %-28s %s\n' "${ids[i]}" "$reason"
        printf '              %-28s find: %s\n' "" "${finds[i]}"
        [[ $reason == *" 0 times "* || $reason == *"no such file" ]] || continue
        where=$(now_found_in "$tree" "$i")
        [[ -n $where ]] && printf '              %-28s now in: %s\n' "" "$where"
    done
    return $bad
}

if $check_only; then
    if check_records "$root"; then
        echo "All ${#selected[@]} records apply (each find text occurs exactly once)."
        exit 0
    fi
    exit 1
fi

# ---- The scratch copy ------------------------------------------------------

src="$scratch/src"
build="$scratch/build"
logs="$scratch/logs"
mkdir -p "$src" "$logs"
exec 9>"$scratch/lock"
flock -n 9 || die "another run is using $scratch"

# Mirrors the work tree (tracked and untracked files, not what .gitignore
# excludes, so no build folders) into $src. Only files whose content differs
# are copied, with a fresh time stamp, so the build stays incremental and a
# file restored after a fault is still rebuilt.
sync_tree() {
    local f
    local -A wanted=()
    while IFS= read -r -d '' f; do
        [[ -f $root/$f ]] || continue  # deleted but not yet committed
        wanted[$f]=1
        cmp -s -- "$root/$f" "$src/$f" && continue
        mkdir -p -- "$(dirname -- "$src/$f")"
        cp --preserve=mode -- "$root/$f" "$src/$f"
    done < <(git -C "$root" ls-files -co --exclude-standard -z)
    while IFS= read -r -d '' f; do
        [[ -n ${wanted[${f#"$src/"}]:-} ]] || rm -f -- "$f"
    done < <(find "$src" -type f -print0)
}

# Quick to compile, no debug info; the optimiser adds nothing a test could see.
# With ccache, putting a file back after its fault costs a cache hit, not a compile.
configure() {
    local launcher=()
    # A file put back after its fault has a new time stamp; ccache would then
    # preprocess every file that includes it again instead of a direct hit.
    export CCACHE_SLOPPINESS=include_file_mtime,include_file_ctime,time_macros
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    # Each fault relinks many test programs; lld links them several times faster.
    command -v ld.lld >/dev/null && launcher+=(-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld)
    cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O0 \
        "${launcher[@]}" >"$logs/configure.log" 2>&1 || {
        tail -20 "$logs/configure.log" >&2
        die "configuring the scratch copy failed (log: $logs/configure.log)"
    }
}

build_copy() { cmake --build "$build" -j "$jobs" >"$1" 2>&1; }

# A test that fails is run again up to twice: only a failure that repeats
# counts, so a test that loses a race on a loaded machine kills nothing.
# Without its cost data ctest starts the tests in the order they are defined,
# the lower layers' unit tests before the end-to-end runs; with it, the
# slowest end-to-end test first, which a fault killed by a unit test would
# wait for all the same.
run_tests() {
    rm -f "$build/Testing/Temporary/CTestCostData.txt"
    ctest --test-dir "$build" -j "$jobs" --stop-on-failure --timeout "$test_timeout" \
        --repeat until-pass:3 --output-on-failure >"$1" 2>&1
}

# First test ctest lists as failed, with its reason: "Suite.Case (Failed)".
first_failure() {
    awk '/The following tests FAILED:/ {on = 1; next}
         on && /-/ {sub(/^[^-]*- /, ""); print; exit}' "$1"
}

# The file under change, to put back whatever stops the run.
applied_path=""
applied_content=""
restore() {
    [[ -n $applied_path ]] || return 0
    printf '%s' "$applied_content" >"$applied_path"
    applied_path=""
}
trap restore EXIT
trap 'exit 130' INT TERM

started=$SECONDS
echo "Scratch copy: $src (build: $build, logs: $logs)"
sync_tree
configure

declare -a killed=() survived=() build_failed=() stale=()
errors=0
if ! check_records "$src"; then
    $keep_going || {
        echo "Stale records above: update their find text or file (see --check)." >&2
        exit 1
    }
fi

if $baseline; then
    echo "Baseline: building and testing the unchanged copy..."
    build_copy "$logs/baseline.build.log" || {
        tail -20 "$logs/baseline.build.log" >&2
        die "the unchanged copy does not build (log: $logs/baseline.build.log)"
    }
    run_tests "$logs/baseline.test.log" || {
        echo "failed: $(first_failure "$logs/baseline.test.log")" >&2
        die "the unchanged copy fails its tests; the results would mean nothing"
    }
    echo "Baseline passes ($((SECONDS - started)) s)."
fi


total=${#selected[@]}
n=0
for i in "${selected[@]}"; do
    n=$((n + 1))
    id=${ids[i]}
    progress="[$n/$total]"
    if [[ -n $(stale_reason "$src" "$i") ]]; then
        stale+=("$i")
        errors=$((errors + 1))
        printf '%-8s %-13s %-28s %s\n' "$progress" stale "$id" "${descs[i]}"
        continue
    fi
    fault_started=$SECONDS
    applied_path="$src/${files[i]}"
    applied_content=$(
        cat -- "$applied_path"
        printf x
    )
    applied_content=${applied_content%x}
    printf '%s' "${applied_content/"${finds[i]}"/"${replaces[i]}"}" >"$applied_path"

    if ! build_copy "$logs/$id.build.log"; then
        verdict=build-failed detail="log: $logs/$id.build.log"
        build_failed+=("$i")
        errors=$((errors + 1))
    elif run_tests "$logs/$id.test.log"; then
        verdict=survived detail=""
        survived+=("$i")
    else
        verdict=killed detail="by $(first_failure "$logs/$id.test.log")"
        killed+=("$i")
    fi
    restore
    printf '%-8s %-13s %-28s %s\n' "$progress" "$verdict" "$id" "${descs[i]}"
    printf '%-8s %-13s %-28s %s\n' "" "" "" "${detail:+$detail, }$((SECONDS - fault_started)) s"
    if [[ $verdict == build-failed ]] && ! $keep_going; then
        echo "Stopped at a fault that does not compile (--keep-going carries on)." >&2
        break
    fi
done

ran=$((${#killed[@]} + ${#survived[@]} + ${#build_failed[@]} + ${#stale[@]}))
echo
echo "Totals: killed ${#killed[@]}, survived ${#survived[@]}, build-failed ${#build_failed[@]}," \
    "stale ${#stale[@]}; total $ran of $total ($(((SECONDS - started) / 60)) min $(((SECONDS - started) % 60)) s)"
if ((${#survived[@]})); then
    echo "Survivors:"
    for i in "${survived[@]}"; do printf '  %-28s %s\n' "${ids[i]}" "${descs[i]}"; done
fi
((errors == 0)) || exit 1
