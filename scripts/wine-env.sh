# Sourced by every script that runs Windows programs. It sets up the environment of the
# build's private Wine prefix; nothing here touches any other prefix.
#   ZV_BUILD      build folder (default: <repo>/build)
#   ZV_WINE_ARCH  win64 (default; runs the x86_64 test build) or win32 (needs a kernel that
#                 runs 32-bit Linux programs, and the i386 wine32 package)
#   ZV_WINE_SLOT  empty (default) or 2: the second prefix, with a wineserver of its own, in
#                 which a second Wine test runs beside the first (see zv_wine_test)
ZV_REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export ZV_REPO
export ZV_BUILD="${ZV_BUILD:-$ZV_REPO/build}"
export ZV_WINE_ARCH="${ZV_WINE_ARCH:-win64}"
export WINEPREFIX="$ZV_BUILD/wineprefix${ZV_WINE_SLOT:+-$ZV_WINE_SLOT}"
export WINEARCH="$ZV_WINE_ARCH"
export WINEDEBUG="${WINEDEBUG:--all}"
if [ "$ZV_WINE_ARCH" = win64 ]; then
    ZV_WINE=/usr/lib/wine/wine64
    ZV_WINESERVER=/usr/lib/wine/wineserver64
else
    ZV_WINE=/usr/lib/wine/wine
    ZV_WINESERVER=/usr/lib/wine/wineserver32
fi
[ -x "$ZV_WINESERVER" ] || ZV_WINESERVER="$(command -v wineserver || echo /usr/lib/wine/wineserver)"
export ZV_WINE ZV_WINESERVER
# The Windows programs of the test build, where ctest and the run command find them.
export ZV_WINBIN="$ZV_BUILD/win/bin"

zv_die() { echo "error: $*" >&2; exit 1; }
