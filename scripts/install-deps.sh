#!/bin/bash
# Installs what the build and the tests need, from Debian's packages; does nothing when
# everything is there. Needs root (or sudo) only when something is missing.
set -e
source "$(dirname "$0")/wine-env.sh"

need=()
have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "ok installed"; }
for p in cmake g++ make googletest g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 \
         wine fonts-wine xvfb xauth imagemagick x11-utils clang libclang-rt-14-dev; do
    have_pkg "$p" || need+=("$p")
done
if [ "$ZV_WINE_ARCH" = win64 ]; then
    have_pkg wine64 || need+=(wine64)
else
    have_pkg wine32:i386 || need+=(wine32:i386)
fi
[ ${#need[@]} -eq 0 ] && exit 0

echo "installing: ${need[*]}" >&2
SUDO=""
if [ "$(id -u)" != 0 ]; then
    have_cmd sudo || zv_die "packages are missing (${need[*]}) and this is not root; install them or run as root"
    SUDO=sudo
fi
if [ "$ZV_WINE_ARCH" = win32 ]; then
    $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
# A mirror in mid-sync makes 'update' fail on one index; the others are still good.
for i in 1 2 3; do $SUDO apt-get update -q && break || sleep 5; done || true
if ! $SUDO apt-get install -y -q --no-install-recommends "${need[@]}"; then
    # When the security index could not be read, the foreign-architecture packages of the
    # main release can only be matched with the main release's own versions.
    codename="$(. /etc/os-release && echo "$VERSION_CODENAME")"
    $SUDO apt-get install -y -q --no-install-recommends -t "$codename" "${need[@]}" ||
        zv_die "could not install: ${need[*]}"
fi
