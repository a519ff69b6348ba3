#!/bin/bash
# The main job: the stand-in Windows XP desktop with sample applications and Zorvane.
#
#   run.sh [--shots DIR]
#
# With $DISPLAY set, the desktop opens in a 1024x768 Wine desktop window and stays until you
# close that window or press Ctrl+C. Without a display, it starts Xvfb, runs a scripted tour
# and saves screenshots into DIR (default: screenshots/ in the repository), named at the end.
# Either way it builds what is missing first, and at the end stops everything it started
# (only this build's Wine prefix) and puts the prefix back on the null graphics driver that
# the tests use.
set -e
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/wine-env.sh"

shots="$ZV_REPO/screenshots"
while [ $# -gt 0 ]; do
    case "$1" in
    --shots) shots="$2"; shift 2 ;;
    *) zv_die "usage: run.sh [--shots DIR]" ;;
    esac
done

say() { echo "run: $*" >&2; }

# ---- build ----------------------------------------------------------------------------------
"$here/install-deps.sh"
if [ ! -f "$ZV_BUILD/win/CMakeCache.txt" ]; then
    say "building (first time; this takes a while)"
    "$here/build.sh"
fi
jobs="${ZV_JOBS:-2}"
# The stand-in desktop must build; the program and its libraries are started if they do.
cmake --build "$ZV_BUILD/win" -j "$jobs" --target standin sampleapp standinctl >&2
cmake --build "$ZV_BUILD/win" -j "$jobs" --target Zorvane QLX_Hook_ images >&2 ||
    say "warning: Zorvane did not build; the desktop runs without it"

# ---- the display ----------------------------------------------------------------------------
xvfb_pid=""
started=()
cleanup() {
    trap - EXIT INT TERM
    say "stopping"
    if [ -n "$DISPLAY" ]; then
        ctl quit >/dev/null 2>&1 || true
    fi
    "$ZV_WINESERVER" -k 2>/dev/null || true # only this prefix's programs
    "$ZV_WINESERVER" -w 2>/dev/null || true
    for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    DISPLAY= "$here/wine-prefix" --null || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

tour=0
if [ -z "$DISPLAY" ]; then
    tour=1
    command -v Xvfb >/dev/null || zv_die "Xvfb is missing; run scripts/install-deps.sh"
    n=57
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 100); do
        xdpyinfo >/dev/null 2>&1 && break
        kill -0 "$xvfb_pid" 2>/dev/null || zv_die "Xvfb did not start on $DISPLAY"
        sleep 0.1
    done
    xdpyinfo >/dev/null 2>&1 || zv_die "Xvfb did not answer on $DISPLAY"
    say "virtual display $DISPLAY"
fi
# The XP desktop's plain blue instead of Wine's teal; set before the desktop window exists
# (the null driver has none), which wine-prefix --display then opens anew.
DISPLAY= "$here/wine-prefix"
"$ZV_WINE" reg add 'HKCU\Control Panel\Colors' /v Background /d "0 78 152" /f >/dev/null 2>&1 || true
"$here/wine-prefix" --display
"$ZV_WINESERVER" -p 2>/dev/null || true

log="$ZV_BUILD/run.log"
: >"$log"
start() { # program.exe args...: runs in the background, output to the log
    (cd "$ZV_WINBIN" && exec "$ZV_WINE" "$@") >>"$log" 2>&1 &
    started+=($!)
}
ctl() { "$ZV_WINE" "$ZV_WINBIN/standinctl.exe" "$@" 2>>"$log"; }
click() { "$ZV_WINE" "$ZV_WINBIN/zvclick.exe" "$@" 2>>"$log"; }

# ---- the desktop ----------------------------------------------------------------------------
say "starting the stand-in shell"
start standin.exe
ctl --wait 60 sync >/dev/null || zv_die "the stand-in shell did not start (see $log)"
start sampleapp.exe --name Notepad --titles "Notepad - readme.txt|Notepad - todo.txt|Notepad - notes.txt" --at 40,40
ctl --app Notepad --wait 30 list >/dev/null
start sampleapp.exe --name Paint --titles "Paint - untitled" --at 470,60 --tray "Paint: ready"
ctl --app Paint --wait 30 list >/dev/null
start sampleapp.exe --name Calculator --titles "Calculator|Calculator - scientific" --at 300,300
ctl --app Calculator --wait 30 list >/dev/null
ctl --app Calculator trayicon 7 "Calculator: 42" >/dev/null || true
ctl --app Notepad activate 2 >/dev/null || true
if [ -f "$ZV_WINBIN/Zorvane.exe" ]; then
    say "starting Zorvane"
    if [ "$tour" != 0 ]; then
        # Not a first run: the demonstration question would stand in front of the list.
        "$ZV_WINE" reg add 'HKCU\Software\Kestrelan\Zorvane\Default' /f >/dev/null 2>&1 || true
    fi
    start Zorvane.exe
    sleep 3 # its list is filled at the first refresh, a second after the window shows
else
    say "Zorvane.exe is missing; the desktop runs without it"
fi
ctl sync >/dev/null

if [ "$tour" = 0 ]; then
    say "the desktop runs on $DISPLAY; close its window or press Ctrl+C to stop"
    shell_pid="${started[0]}"
    while kill -0 "$shell_pid" 2>/dev/null; do
        wait "$shell_pid" 2>/dev/null || true
    done
    exit 0
fi

# ---- the tour (no display of its own) -------------------------------------------------------
mkdir -p "$shots"
shot() { # name: waits until the shell has caught up and painted, then saves the screen
    ctl sync >/dev/null
    sleep 0.5 # let the X server take the last drawing of every program
    "$here/screenshot" "$shots/$1.png"
    say "saved $1.png"
}
handle_of() { # app index -> window handle
    ctl --app "$1" list | awk -v i="$2" '$1 == i { sub("hwnd=", "", $2); print $2 }'
}
rm -f "$shots"/[0-9][0-9]-*.png
shot 01-desktop
if [ -f "$ZV_WINBIN/Zorvane.exe" ]; then
    # The list's rows are 18 pixels high below a 22-pixel header: row r's middle is 31 + 18 r.
    row() { click TfTaskBarMain TQlxCheckList '*' 120 $((31 + 18 * $1)); }
    check_box() { click TfTaskBarMain TQlxCheckList '*' 8 $((31 + 18 * $1)); }
    row 2 && click TfTaskBarMain Button '' c c || true # Calculator, then Up (bUp: no caption)
    sleep 1.5
    shot 08-list-calculator-up
    check_box 1 || true # Calculator's group hides with its windows; its row moves to the end
    sleep 1.5
    shot 09-list-calculator-hidden
    check_box 2 || true # and comes back
    sleep 1.5
fi
ctl collapse "$(handle_of Notepad 0)" >/dev/null
shot 02-notepad-collapsed
ctl expand "$(handle_of Notepad 0)" >/dev/null
ctl --app Paint trayicon 2 "Paint: second icon" >/dev/null || true
shot 03-tray-icons
ctl edge top >/dev/null
shot 04-edge-top
ctl edge left >/dev/null
shot 05-edge-left
ctl edge bottom >/dev/null
ctl grouping off >/dev/null
shot 06-grouping-off
ctl grouping on >/dev/null
ctl --app Notepad hide 1 >/dev/null
ctl --app Notepad show 1 >/dev/null
shot 07-window-shown-again
convert "$shots/01-desktop.png" -crop 1024x34+0+734 +repage -scale 200% "$shots/taskbar-zoom.png" 2>/dev/null || true
ctl dump >"$shots/toolbar-dump.txt" || true
say "screenshots in $shots"
echo "$shots"
