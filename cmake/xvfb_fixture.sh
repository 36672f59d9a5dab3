#!/bin/sh
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
    # Xvfb writes the display's number to fd 3 once it takes connections. Its output goes
    # to a log: CTest would otherwise wait for the server to close it.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display" \
        </dev/null >"$dir/xvfb.log" 2>&1 &
    echo $! >"$dir/pid"
    i=0
    while [ ! -s "$dir/display" ]; do
        if ! kill -0 "$(cat "$dir/pid")" 2>/dev/null; then
            echo "xvfb_fixture: Xvfb ended at its start:" >&2
            cat "$dir/xvfb.log" >&2
            exit 1
        fi
        i=$((i + 1))
        if [ "$i" -gt 300 ]; then
            echo "xvfb_fixture: Xvfb gave no display within 30 s" >&2
            exit 1
        fi
        sleep 0.1
    done
    echo "xvfb_fixture: display :$(cat "$dir/display")"
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
