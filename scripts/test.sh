#!/bin/bash
# Installs what is missing, builds everything and runs every test.
set -e
here="$(dirname "$0")"
source "$here/wine-env.sh"
"$here/install-deps.sh"
"$here/build.sh"
cd "$ZV_BUILD"
# Native tests run in parallel; the Wine tests share a prefix and serialize on their lock.
ctest --output-on-failure -j "${ZV_JOBS:-2}" "$@"
