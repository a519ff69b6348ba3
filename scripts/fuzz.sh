#!/bin/bash
# Runs the fuzzers of the fuzz flavour (built by scripts/build.sh into $ZV_BUILD/fuzz), one at
# a time, each for a given time:
#   scripts/fuzz.sh [--time SECONDS] [--scratch] [NAME...]
# NAME is a folder of tests/fuzz (taskbuttons, memblocks, ...); without one, every fuzzer runs.
# --time    seconds per fuzzer (default 180)
# --scratch start from a copy of the committed seeds and keep nothing (what ctest runs);
#           otherwise the corpus grows in $ZV_BUILD/fuzz/corpus/NAME and is kept for the
#           next run.
# An input that crashes a fuzzer or breaks one of its checks is saved in
# $ZV_BUILD/fuzz/findings/ and the script fails. Extra libFuzzer flags: ZV_FUZZ_FLAGS.
set -e
source "$(dirname "$0")/wine-env.sh"
seconds=180
scratch=0
names=()
while [ $# -gt 0 ]; do
    case "$1" in
    --time) seconds="$2"; shift 2 ;;
    --scratch) scratch=1; shift ;;
    -*) zv_die "unknown option $1" ;;
    *) names+=("$1"); shift ;;
    esac
done
if [ ${#names[@]} -eq 0 ]; then
    for d in "$ZV_REPO"/tests/fuzz/*/seeds; do
        names+=("$(basename "$(dirname "$d")")")
    done
fi
bin="$ZV_BUILD/fuzz/bin"
findings="$ZV_BUILD/fuzz/findings"
mkdir -p "$findings"
failed=()
for name in "${names[@]}"; do
    fuzzer="$bin/fuzz_$name"
    seeds="$ZV_REPO/tests/fuzz/$name/seeds"
    [ -x "$fuzzer" ] || zv_die "$fuzzer is missing; run scripts/build.sh"
    [ -d "$seeds" ] || zv_die "no seeds for $name ($seeds)"
    if [ $scratch = 1 ]; then
        corpus="$(mktemp -d)"
    else
        corpus="$ZV_BUILD/fuzz/corpus/$name"
        mkdir -p "$corpus"
    fi
    echo "== fuzz_$name for ${seconds}s (corpus $corpus)" >&2
    # New inputs go into the first folder only; the seeds are read, never written.
    # shellcheck disable=SC2086
    if ! "$fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
            -artifact_prefix="$findings/$name-" $ZV_FUZZ_FLAGS "$corpus" "$seeds"; then
        failed+=("$name")
    fi
    [ $scratch = 1 ] && rm -rf "$corpus"
done
[ ${#failed[@]} -eq 0 ] || zv_die "findings in: ${failed[*]} (inputs in $findings)"
