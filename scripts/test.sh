#!/bin/bash
# Installs what is missing, builds everything and runs every test, then every benchmark.
# The tests and the benchmarks (label bench) are two ctest runs, reported apart; both must
# pass. A run that finds no tests fails (--no-tests=error).
#   test.sh [ctest options, e.g. -R NAME]
set -eo pipefail
here="$(dirname "$0")"
source "$here/wine-env.sh"
"$here/install-deps.sh"
"$here/build.sh"
cd "$ZV_BUILD"
# Native tests run in parallel; the Wine tests run two at a time, one in each of the two
# prefixes (a resource lock each).
echo "== tests" >&2
ctest --output-on-failure --no-tests=error -j "${ZV_JOBS:-2}" -LE bench "$@"
# The benchmarks' figures: their whole output, without ctest's own lines. They run two at a
# time, one in each prefix; their lines (each begins with its test's number) are printed
# benchmark after benchmark, then ctest's summary.
echo "== benchmarks (figures only; a figure that cannot be measured fails)" >&2
[ $# = 0 ] && none=--no-tests=error || none=--no-tests=ignore
ctest --output-on-failure $none -j "${ZV_JOBS:-2}" -L bench -V "$@" |
    grep -v '^[0-9]*: \(Test command\|Working Directory\|Environment variables\|Test timeout\| ZV_BUILD=\| ZV_WINE_SLOT=\|Test project\)' |
    awk '/^[0-9]+: / { n = $1 + 0; out[n] = out[n] $0 "\n"; if (!(n in seen)) { seen[n] = 1; order[++k] = n }; next }
         { rest = rest $0 "\n" }
         END { for (i = 1; i <= k; ++i) printf "%s", out[order[i]]; printf "%s", rest }'
