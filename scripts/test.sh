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
# The benchmarks' figures: their whole output, without ctest's own lines.
echo "== benchmarks (figures only; a figure that cannot be measured fails)" >&2
[ $# = 0 ] && none=--no-tests=error || none=--no-tests=ignore
ctest --output-on-failure $none -L bench -V "$@" |
    grep -v '^[0-9]*: \(Test command\|Working Directory\|Environment variables\|Test timeout\| ZV_BUILD=\)'
