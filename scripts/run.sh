#!/bin/bash
# The main job: the stand-in Windows XP desktop with sample applications and Zorvane.
#
#   run.sh [--shots DIR]
#   run.sh --record-demo FOLDER
#
# With $DISPLAY set, the desktop opens in a 1024x768 Wine desktop window and stays until you
# close that window or press Ctrl+C. Without a display, it starts Xvfb, runs a scripted tour
# and saves screenshots into DIR (default: screenshots/ in the repository), named at the end.
# --record-demo records, always under Xvfb, a drag of a button along the stand-in taskbar and
# makes of it the help window's movie, FOLDER/drag-and-drop-demo.avi, and the help document's
# pictures of a drag and of the list window, FOLDER/taskbar-drag.png and list-window.png
# (FOLDER: help/ to renew the committed ones).
# Either way it builds what is missing first, and at the end stops everything it started
# (only this build's Wine prefix) and puts the prefix back on the null graphics driver that
# the tests use.
set -e
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/wine-env.sh"

shots="$ZV_REPO/screenshots"
record=""
while [ $# -gt 0 ]; do
    case "$1" in
    --shots) shots="$2"; shift 2 ;;
    --record-demo) record="$(mkdir -p "$2" && cd "$2" && pwd)"; shift 2 ;;
    *) zv_die "usage: run.sh [--shots DIR] | run.sh --record-demo FOLDER" ;;
    esac
done
[ -z "$record" ] || unset DISPLAY # a recording is made on a screen of known size and look

say() { echo "run: $*" >&2; }

# ---- build ----------------------------------------------------------------------------------
"$here/install-deps.sh"
if [ ! -f "$ZV_BUILD/win/CMakeCache.txt" ]; then
    say "building (first time; this takes a while)"
    "$here/build.sh"
fi
jobs="${ZV_JOBS:-2}"
# The stand-in desktop must build; the program and its libraries are started if they do.
cmake --build "$ZV_BUILD/win" -j "$jobs" --target standin sampleapp standinctl zvclick >&2
if [ -n "$record" ]; then
    cmake --build "$ZV_BUILD/native" -j "$jobs" --target mkavi >&2
fi
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

# ---- the demo movie --------------------------------------------------------------------------
# The part of the screen the movie shows: the left of the taskbar and the desktop above it,
# the size of the help window's player.
movie_w=691
movie_h=246
record_demo() { # FOLDER
    local out="$1" frames="$ZV_BUILD/demo-frames" n=0 list=()
    rm -rf "$frames"
    mkdir -p "$frames"
    # The help document's picture of the list window (centred on the screen), with the pointer
    # away from it so that no hint shows.
    click --screen move 1000 400 || true
    ctl sync >/dev/null
    sleep 1.5
    import -window root "$frames/screen.png"
    convert "$frames/screen.png" -crop 592x442+216+149 +repage "$out/list-window.png"
    click TfTaskBarMain Button OK c c || true # the list window hides; the taskbar shows alone
    ctl --app Notepad activate 0 >/dev/null || true
    local l t r b
    read -r l t r b <<<"$(ctl rect | tr -d '\r')"
    [[ "$l $t $r $b" =~ ^[0-9]+\ [0-9]+\ [0-9]+\ [0-9]+$ ]] || zv_die "no taskbar rectangle"
    # The toolbar's buttons share its width, each at most 160 pixels.
    local visible=0 state
    while read -r _ _ _ state _; do
        (( (16#${state#state=0x} & 8) == 0 )) && visible=$((visible + 1))
    done < <(ctl dump | tr -d '\r')
    [ "$visible" -ge 3 ] || zv_die "the taskbar has $visible buttons; a drag needs three"
    local w=$(((r - l) / visible))
    [ "$w" -le 160 ] || w=160
    local y=$(((t + b) / 2)) from=$((l + w / 2)) to=$((l + w * 5 / 2 + w / 4))
    local top=$((768 - movie_h))
    frame() { # x y [times]: the screen now, cut to the movie, with the pointer drawn at x, y
        ctl sync >/dev/null
        sleep 0.3
        n=$((n + 1))
        local f="$frames/$(printf %03d $n).png" px=$1 py=$(($2 - top))
        import -window root "$frames/screen.png"
        # An arrow pointer, as X screenshots show none.
        convert "$frames/screen.png" -crop "${movie_w}x${movie_h}+0+$top" +repage \
            -fill white -stroke black -strokewidth 1 -draw "polygon $px,$py $px,$((py + 16)) \
            $((px + 4)),$((py + 12)) $((px + 7)),$((py + 18)) $((px + 9)),$((py + 17)) \
            $((px + 6)),$((py + 11)) $((px + 11)),$((py + 11))" "$f"
        for _ in $(seq "${3:-1}"); do list+=("$f"); done
    }
    local x=$((from - 2 * w))
    frame "$x" $((y - 60)) 5 # the taskbar as it is
    for step in 1 2 3; do
        x=$((x + (from - x) / 2)); frame "$x" $((y - 60 + 20 * step))
    done
    click --screen move "$from" "$y"
    frame "$from" "$y" 3 # on the first button
    click --screen press "$from" "$y"
    frame "$from" "$y" 2 # pressed
    local steps=10 i
    for i in $(seq $steps); do
        x=$((from + (to - from) * i / steps))
        click --screen move "$x" "$y"
        frame "$x" "$y"
    done
    frame "$to" "$y" 4 # held at the place it should go
    cp "${list[-1]}" "$out/taskbar-drag.png"
    click --screen release "$to" "$y"
    frame "$to" "$y" 8 # released: the button stands there
    # One palette for every frame, then the clip.
    convert "${list[@]}" -append +dither -colors 256 -unique-colors "$frames/palette.png"
    local ppm=() f
    for f in $(printf '%s\n' "${list[@]}" | sort -u); do
        convert "$f" +dither -remap "$frames/palette.png" "${f%.png}.ppm"
    done
    for f in "${list[@]}"; do ppm+=("${f%.png}.ppm"); done
    rm -f "$out/drag-and-drop-demo.avi"
    "$ZV_BUILD/native/bin/mkavi" --ms-per-frame 200 "$out/drag-and-drop-demo.avi" "${ppm[@]}" >&2
    say "the movie and its pictures are in $out"
    [ -s "$out/drag-and-drop-demo.avi" ]
}
if [ -n "$record" ]; then
    record_demo "$record" || zv_die "the recording failed"
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
# Zorvane's tray icon (icons 20 pixels apart from 8 pixels in, counting the shown ones).
tray_x=$(ctl tray | tr -d '\r' | awk '/ hidden=0 / { if ($0 ~ / tip=Zorvane$/) { print 8 + n * 20 + 10; exit } n++ }')
if [ -f "$ZV_WINBIN/Zorvane.exe" ]; then
    # A drag on the taskbar: Paint's button (the fourth shown) to the front. Buttons share the
    # toolbar's width evenly, up to 160 pixels each.
    tb_width=$(ctl rect | tr -d '\r' | awk '{ print $3 - $1 }')
    shown=$(ctl dump | tr -d '\r' | awk '$4 !~ /state=0x.[89a-f]/' | wc -l)
    w=$((tb_width / shown)); [ "$w" -gt 160 ] && w=160
    drag() { click "--$1" Shell_TrayWnd ToolbarWindow32 '*' "$2" c; }
    if drag press $((3 * w + w / 2)); then
        for x in $((3 * w)) $((2 * w)) $((w + w / 2)) $w $((w / 2)) $((w / 4)); do
            drag move "$x" || true
            sleep 0.3
        done
        sleep 2 # each move takes a snapshot of the taskbar: let the balloon catch up
        shot 13-drag-in-progress
        drag release $((w / 4)) || true
        sleep 1
        shot 14-drag-dropped
    fi
    # The list: a double click on the tray icon brings it back.
    [ -n "$tray_x" ] && click --double Shell_TrayWnd TrayNotifyWnd '*' "$tray_x" c || true
    sleep 1.5
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
    # The tray menu: a right click on Zorvane's icon, then "Settings", its second item (items
    # 22 pixels high).
    if [ -n "$tray_x" ]; then
        click --right Shell_TrayWnd TrayNotifyWnd '*' "$tray_x" c || true
        sleep 1
        shot 10-tray-menu
        click '#32768' - '*' c 33 || true
        sleep 1.5
        shot 11-tray-settings
        click --double Shell_TrayWnd TrayNotifyWnd '*' "$tray_x" c || true # back to the list
        sleep 1
    fi
    # The help window, over the list, playing its movie.
    if click TfTaskBarMain Button Help c c; then
        sleep 1.5
        shot 12-help-window
        click TFHelp Button OK c c || true
    fi
    # Titles in other scripts: two more programs, then the list brought to the front again.
    LC_ALL=C.UTF-8 start sampleapp.exe --name Mail --at 20,470 \
        --titles "Почта — Входящие (3)|Почта — Новое письмо"
    ctl --app Mail --wait 30 list >/dev/null || true
    LC_ALL=C.UTF-8 start sampleapp.exe --name Jishiben --at 60,500 --titles "记事本 — 购物清单.txt"
    ctl --app Jishiben --wait 30 list >/dev/null || true
    [ -n "$tray_x" ] && click --double Shell_TrayWnd TrayNotifyWnd '*' "$tray_x" c || true
    sleep 2 # the list refreshes once a second while it shows
    shot 15-list-any-script
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
