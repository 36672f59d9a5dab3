# Sourced by run_wine_tests.sh: what a Windows user meets at the ends of the program's
# life, each in a program folder of its own.
#   - a typed wish, Enter, the close button: Orvane.ini holds the card and the wish
#   - a sign-out (the session's end messages, then the process ended): the same
#   - a saved position off every monitor: the window comes up on the screen
#   - another program's window captioned "Sablewick": the program still starts

user_dir() { echo "$E2E_DIR/user-$1"; }

ini_value() { tr -d '\r' <"$1/Orvane.ini" 2>/dev/null | sed -n "s/^$2=//p"; }

# Starts the program in DIR and finds its window; sets USER_PID, USER_X, USER_Y.
user_start() {
    local dir=$1 wid
    app_start "$dir"
    USER_PID=$APP_PID
    wid=$(window_find Sablewick 30) || return 1
    # shellcheck disable=SC2046
    set -- $(window_geometry "$wid")
    USER_X=$1
    USER_Y=$2
    USER_W=$3
    USER_H=$4
}

# Types a wish into the wish box and draws with Enter, then waits for the turn.
user_reading() {
    mouse_click $((USER_X + 463 + 20)) $((USER_Y + 82 + 10))
    type_text "$1"
    key_press Return
    sleep 3
}

user_close() {
    mouse_click $((USER_X + 703 + 16)) $((USER_Y + 1 + 16))
    app_wait_exit "$USER_PID" 20
}

scenario_wish_kept_at_close() {
    local dir
    dir=$(user_dir close)
    write_settings "$dir" Fate=0 "OldDate=$TODAY" "MemDate=$TODAY"
    if ! user_start "$dir"; then
        e2e_fail "wish at close" "no window"
        return 1
    fi
    user_reading abc
    if ! user_close; then
        e2e_fail "wish at close" "the program still runs 20 s after the close button"
        return 1
    fi
    local wish card
    wish=$(ini_value "$dir" Wish)
    card=$(ini_value "$dir" CardNum)
    if [ "$wish" = abc ] && [ "$card" = 12 ]; then
        e2e_pass "wish at close: Orvane.ini holds Wish=abc and CardNum=12"
    else
        e2e_fail "wish at close" "Orvane.ini holds Wish='$wish' CardNum='$card'"
    fi
}

scenario_sign_out() {
    local dir
    dir=$(user_dir signout)
    write_settings "$dir" Fate=0 "OldDate=$TODAY" "MemDate=$TODAY"
    if ! user_start "$dir"; then
        e2e_fail "sign-out" "no window"
        return 1
    fi
    user_reading abc
    local said
    said=$(probe endsession Sablewick)
    if ! app_wait_exit "$USER_PID" 10; then
        e2e_fail "sign-out" "the process lives on after it was ended ($said)"
        kill "$USER_PID" 2>/dev/null
        return 1
    fi
    local wish card
    wish=$(ini_value "$dir" Wish)
    card=$(ini_value "$dir" CardNum)
    if [ "$said" = "query=1 agreed=1 told=1 ended=1" ] && [ "$wish" = abc ] && [ "$card" = 12 ]; then
        e2e_pass "sign-out: the end agreed to, and Orvane.ini holds Wish=abc and CardNum=12 after the process was ended"
    else
        e2e_fail "sign-out" "probe: '$said'; Orvane.ini holds Wish='$wish' CardNum='$card'"
    fi
    [ ! -f "$dir/Orvane.ini.new" ] || e2e_fail "sign-out" "a half-written Orvane.ini.new was left"
}

scenario_position_off_screen() {
    local dir
    dir=$(user_dir offscreen)
    # Saved on a monitor to the right that is no longer there.
    write_settings "$dir" ResumeOk=1 Left=3000 Top=-2000
    if ! user_start "$dir"; then
        e2e_fail "position off screen" "no window"
        return 1
    fi
    local want_x=$((E2E_SCREEN_W - 737)) want_y=0
    if [ "$USER_X" = "$want_x" ] && [ "$USER_Y" = "$want_y" ] && [ "$USER_W" = 737 ]; then
        e2e_pass "position off screen: saved at (3000, -2000), shown at ($USER_X, $USER_Y) inside the screen"
    else
        e2e_fail "position off screen" "shown at ($USER_X, $USER_Y) ${USER_W}x$USER_H, want ($want_x, $want_y)"
    fi
    user_close || kill "$USER_PID" 2>/dev/null
}

scenario_other_window_with_the_caption() {
    local dir decoy_pid
    dir=$(user_dir decoy)
    wine "$E2E_BUILD/sablewick_winprobe.exe" decoy Sablewick >/dev/null 2>&1 &
    decoy_pid=$!
    sleep 2
    app_start "$dir"
    USER_PID=$APP_PID
    local state="" i
    for i in $(seq 1 50); do
        state=$(probe state Sablewick)
        case "$state" in found*visible=1*" 737 584") break ;; esac
        kill -0 "$USER_PID" 2>/dev/null || break
        sleep 0.2
    done
    if kill -0 "$USER_PID" 2>/dev/null && [ "${state% 737 584}" != "$state" ] &&
        [ "$(probe count Sablewick)" = 2 ]; then
        e2e_pass "another window captioned Sablewick: the program starts beside it ($state)"
        # shellcheck disable=SC2086
        set -- $state
        USER_X=$5
        USER_Y=$6
        user_close || kill "$USER_PID" 2>/dev/null
    else
        e2e_fail "another window captioned Sablewick" "the program ended at once (exit '${APP_STATUS:-}'), windows: $(probe count Sablewick)"
        kill "$USER_PID" 2>/dev/null
    fi
    kill "$decoy_pid" 2>/dev/null
    wait "$decoy_pid" 2>/dev/null
}

scenario_wish_kept_at_close
scenario_sign_out
scenario_position_off_screen
scenario_other_window_with_the_caption
