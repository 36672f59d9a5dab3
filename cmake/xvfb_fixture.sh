#!/bin/bash
# A display of its own for the tests CTest runs on the GTK backend (cmake/GtkTargets.cmake),
# as a CTest fixture:
#   xvfb_fixture.sh start DIR        starts Xvfb on a free display, noted in DIR, and waits
#                                    until it takes connections; fails saying why
#   xvfb_fixture.sh run DIR CMD...   runs CMD on that display
#   xvfb_fixture.sh stop DIR         ends it
set -u
action="$1"
dir="$2"
shift 2
case "$action" in
start)
    mkdir -p "$dir"
    rm -f "$dir/display" "$dir/pid"
    # shellcheck source=tools/lib/xvfb.sh
    . "$(dirname "$0")/../tools/lib/xvfb.sh"
    # Its output goes to a log (xvfb_start does that): CTest would otherwise wait for the
    # server to close it.
    xvfb_start "$dir/xvfb.log" -screen 0 1280x1024x24 </dev/null || exit 1
    echo "$XVFB_PID" >"$dir/pid"
    echo "${DISPLAY#:}" >"$dir/display"
    echo "xvfb_fixture: display $DISPLAY"
    ;;
run)
    if [ ! -s "$dir/display" ]; then
        echo "xvfb_fixture: no display in $dir (did the start fixture run?)" >&2
        exit 1
    fi
    DISPLAY=":$(cat "$dir/display")" exec "$@"
    ;;
stop)
    [ -s "$dir/pid" ] && kill "$(cat "$dir/pid")" 2>/dev/null
    rm -f "$dir/display" "$dir/pid"
    ;;
*)
    echo "usage: $0 start|run|stop DIR [CMD...]" >&2
    exit 2
    ;;
esac
