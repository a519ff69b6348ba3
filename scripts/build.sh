#!/bin/bash
# Configures and builds the four flavours into $ZV_BUILD (default build/):
#   native/  the platform-free logic with its unit tests (ASan, UBSan)
#   ship/    the shipped files: i686, win32 thread model
#   win/     the program, the stand-in shell and the GoogleTest programs run under Wine
#   fuzz/    the platform-free logic built with clang, and its libFuzzer programs
# and writes $ZV_BUILD/CTestTestfile.cmake so that one ctest run covers native, win and fuzz.
#   build.sh [FLAVOUR...]   only these flavours (default: all four)
set -e
source "$(dirname "$0")/wine-env.sh"
jobs="${ZV_JOBS:-$(nproc)}"
for t in cmake g++ i686-w64-mingw32-g++-win32 clang++; do
    command -v $t >/dev/null || zv_die "$t is missing; run scripts/install-deps.sh"
done
[ -d /usr/src/googletest ] || zv_die "GoogleTest sources are missing (/usr/src/googletest); run scripts/install-deps.sh"
if [ "$ZV_WINE_ARCH" = win64 ]; then triple=x86_64-w64-mingw32; else triple=i686-w64-mingw32; fi

configure() { # dir flavour [extra args]
    local dir="$ZV_BUILD/$1" flavour="$2"; shift 2
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S "$ZV_REPO" -B "$dir" -DZV_FLAVOR="$flavour" -DZV_BUILD="$ZV_BUILD" \
              -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    fi
}
flavours="${*:-native ship win fuzz}"
for d in $flavours; do
    case "$d" in
    native) configure native native ;;
    ship) configure ship ship -DCMAKE_TOOLCHAIN_FILE="$ZV_REPO/cmake/toolchain-mingw.cmake" \
        -DZV_TRIPLE=i686-w64-mingw32 -DZV_THREAD_MODEL=win32 ;;
    win) configure win win -DCMAKE_TOOLCHAIN_FILE="$ZV_REPO/cmake/toolchain-mingw.cmake" \
        -DZV_TRIPLE=$triple -DZV_THREAD_MODEL=posix ;;
    fuzz) configure fuzz fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang ;;
    *) zv_die "no such flavour: $d (native, ship, win or fuzz)" ;;
    esac
done
for d in $flavours; do
    echo "== building $d" >&2
    cmake --build "$ZV_BUILD/$d" -j "$jobs"
done
cat > "$ZV_BUILD/CTestTestfile.cmake" <<EOT
# Written by scripts/build.sh: one ctest run over the native and the Wine tests and a short
# run of every fuzzer. A flavour that is not built, or registers fewer tests than tests/
# declares, fails its check here instead of being left out silently.
subdirs("$ZV_BUILD/native")
subdirs("$ZV_BUILD/win")
subdirs("$ZV_BUILD/fuzz")
add_test(tests_registered_native "$ZV_REPO/scripts/check-flavour" native)
add_test(tests_registered_win "$ZV_REPO/scripts/check-flavour" win)
add_test(tests_registered_fuzz "$ZV_REPO/scripts/check-flavour" fuzz)
set_tests_properties(tests_registered_native tests_registered_win tests_registered_fuzz
                     PROPERTIES ENVIRONMENT "ZV_BUILD=$ZV_BUILD" TIMEOUT 60)
EOT
