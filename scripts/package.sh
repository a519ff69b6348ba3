#!/bin/bash
# Makes the release folder: builds the shipped files (ship flavour) and packs them with CPack
# into $ZV_BUILD/ship/package/Zorvane-<version>-win32.zip: the stripped Zorvane.exe,
# QLX_Hook_.dll and images.dll, the Help folder and ReadMe.txt, in one folder of the zip's
# name. Prints the zip's path.
set -e
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/wine-env.sh"
"$here/build.sh" ship >&2
cpack --config "$ZV_BUILD/ship/CPackConfig.cmake" -B "$ZV_BUILD/ship/package" >&2
zip="$(ls -t "$ZV_BUILD"/ship/package/Zorvane-*-win32.zip | head -n 1)"
[ -f "$zip" ] || zv_die "CPack made no zip"
echo "$zip"
