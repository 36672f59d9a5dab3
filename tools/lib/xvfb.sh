# shellcheck shell=bash
# The one way the project's scripts start a private X server (Xvfb) and stop it again.
# Sourced by every script that shows a window without a desktop of its own.
#
#   xvfb_start LOG [XVFB OPTIONS...]   starts Xvfb on a display nobody uses (1024 x 768 x 24
#                                      unless the options give -screen), waits until it
#                                      answers and exports DISPLAY; XVFB_PID is the server.
#                                      Says why and returns false when it did not start.
#   xvfb_stop                          stops it (safe to call twice)

XVFB_PID=""

xvfb_start() {
    local log=$1
    shift
    local screen=(-screen 0 1024x768x24)
    case " $* " in *" -screen "*) screen=() ;; esac
    # The server picks a free display itself and writes its number once it accepts
    # connections: no race with another script starting a server at the same moment.
    local numfile
    numfile=$(mktemp "${TMPDIR:-/tmp}/xvfb-display.XXXXXX") || return 1
    Xvfb -displayfd 3 -nolisten tcp "${screen[@]}" "$@" 3>"$numfile" >"$log" 2>&1 &
    XVFB_PID=$!
    local i number=""
    for i in $(seq 1 200); do
        number=$(tr -dc 0-9 <"$numfile")
        [ -n "$number" ] && break
        if ! kill -0 "$XVFB_PID" 2>/dev/null; then
            break
        fi
        sleep 0.05
    done
    rm -f "$numfile"
    if [ -z "$number" ]; then
        echo "xvfb: the X server did not start (see $log): $(tail -n 3 "$log" 2>/dev/null | tr '\n' ' ')" >&2
        kill "$XVFB_PID" 2>/dev/null
        XVFB_PID=""
        return 1
    fi
    export DISPLAY=":$number"
    if ! xdpyinfo >/dev/null 2>&1; then
        echo "xvfb: the X server on $DISPLAY does not answer (see $log)" >&2
        xvfb_stop
        return 1
    fi
    return 0
}

xvfb_stop() {
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
        XVFB_PID=""
    fi
    return 0
}
