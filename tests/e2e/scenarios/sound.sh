# Sound cues as the sound device receives them. Sourced by tests/e2e/run_wine_tests.sh
# after its main scenarios (it uses the runner's probe, child_text and card_line).
#
# Wine has no sound device here, so these program instances get one of their own: an
# ALSA configuration (ALSA_CONFIG_PATH, for these processes only) whose default device
# converts whatever Wine plays to 48000 Hz, 16-bit stereo and hands it to ALSA's file
# plugin, which pipes every opening of the device into a file of its own (a "take",
# named by the time it opened), with the null device behind it. Wine's player opens
# the device once per sound, so the takes are the cues in order; a cue cut short by the
# next one is a take that holds its beginning. tests/e2e/sound_matches.py tells
# which WAV resource a take plays.
#
#   - the opening cue A01 plays once the window is up
#   - a reading (a wish, Enter) plays the fortune button's A02
#   - while クリエイター is held, the shown card's creator's own sound B<code> plays
#   - with MuteOn=1 in Orvane.ini the same actions play nothing; switching the sound
#     back on in the menu plays A10
# shellcheck shell=bash

SOUND_FORMAT=S16_LE
SOUND_RATE=48000
SOUND_CHANNELS=2

# Writes DIR/asound.conf and the recorder it pipes into; the takes go to DIR/takes.
sound_device_prepare() {
    local dir=$1
    mkdir -p "$dir/takes"
    rm -f "$dir"/takes/*.raw
    # Nanoseconds since the epoch: 19 digits until 2286, so names sort by time.
    cat >"$dir/record.sh" <<EOF
#!/bin/sh
exec cat >'$dir/takes/'"\$(date +%s%N).raw"
EOF
    chmod +x "$dir/record.sh"
    # Only this file is read: no /etc/asound.conf or ~/.asoundrc can redirect the
    # default device. The rate converter is alsa-lib's own, so no plugin package is
    # needed.
    cat >"$dir/asound.conf" <<EOF
pcm.!default {
    type plug
    slave {
        pcm {
            type file
            file "|'$dir/record.sh'"
            format "raw"
            slave.pcm { type null }
        }
        format $SOUND_FORMAT
        rate $SOUND_RATE
        channels $SOUND_CHANNELS
    }
    rate_converter "linear"
}
EOF
}

# Starts the program from DIR with DIR's sound device. The PulseAudio driver is left
# out so that a sound server on the machine cannot take the sound away from ALSA.
sound_app_start() {
    local dir=$1
    ALSA_CONFIG_PATH="$dir/asound.conf" WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winepulse.drv=d" \
        app_start "$dir"
}

sound_matches() {
    /usr/bin/python3 "$E2E_ROOT/tests/e2e/sound_matches.py" --format "$SOUND_FORMAT" \
        --rate "$SOUND_RATE" --channels "$SOUND_CHANNELS" "$@"
}

# SOUND_MARK: how many takes DIR holds now; the next check looks at those after it.
sound_mark() {
    SOUND_MARK=$(find "$1/takes" -name '*.raw' | wc -l)
}

# The takes of DIR since the mark, oldest first; with "all" also those that hold no
# samples (the device was opened and nothing was played).
sound_new_takes() {
    find "$1/takes" -name '*.raw' | sort | tail -n +$((SOUND_MARK + 1)) |
        while read -r take; do
            if [ "${2:-}" = all ] || [ -s "$take" ]; then echo "$take"; fi
        done
}

# Waits up to SECS for a take with samples after the mark.
sound_wait_take() {
    local dir=$1 secs=$2 _
    for _ in $(seq 1 $((secs * 5))); do
        [ -n "$(sound_new_takes "$dir")" ] && return 0
        sleep 0.2
    done
    return 1
}

# Checks NAME: since the mark the device played exactly one sound, and it is the
# resource WANT (A01 ... B17); then sets the mark.
sound_expect() {
    local name=$1 dir=$2 want=$3 take out report="" matched=0
    local -a takes
    mapfile -t takes < <(sound_new_takes "$dir")
    for take in "${takes[@]}"; do
        if out=$(sound_matches match "$take" --expect "$want" "$E2E_ROOT"/resources/[AB][0-9][0-9].wav); then
            matched=$((matched + 1))
        fi
        report="$report${report:+; }$out"
    done
    if [ ${#takes[@]} = 1 ] && [ $matched = 1 ]; then
        e2e_pass "$name: the device played $want ($report)"
    elif [ ${#takes[@]} = 0 ]; then
        e2e_fail "$name" "want $want, the device played nothing"
    elif [ ${#takes[@]} = 1 ]; then
        e2e_fail "$name" "want $want, the device played: $report (take in $dir/takes)"
    else
        e2e_fail "$name" "want $want alone, the device played ${#takes[@]} sound(s): $report (takes in $dir/takes)"
    fi
    sound_mark "$dir"
}

# sound_hold WX WY X Y SECS: presses the left button at client (X, Y) of the window at
# (WX, WY), holds it for SECS and releases it.
sound_hold() {
    mouse_to $(($1 + $3)) $(($2 + $4))
    xdotool mousedown 1
    sleep "$5"
    xdotool mouseup 1
}

# A reading: the wish "abc" into the wish box (client 463, 82, 228 x 121), then Enter;
# waits for the card to turn.
sound_reading() {
    local wx=$1 wy=$2
    mouse_click $((wx + 463 + 60)) $((wy + 82 + 60))
    sleep 0.3
    type_text abc
    key_press Return
    sleep 3
}

sound_close() {
    local name=$1 pid=$2 wx=$3 wy=$4
    mouse_click $((wx + 703 + 16)) $((wy + 1 + 16))
    app_wait_exit "$pid" 20 || e2e_fail "$name" "the program still runs 20 s after the close button"
}

# Sound on: the opening cue, a reading's cue, the creator's sound while クリエイター
# (client 457, 549, 150 x 35) is held.
scenario_sound_on() {
    local dir="$E2E_DIR/app-sound" wid pid wx wy number card line code
    sound_device_prepare "$dir"
    write_settings "$dir" Fate=0 "OldDate=$(date +%Y/%m/%d)" "MemDate=$(date +%Y/%m/%d)"
    SOUND_MARK=0
    sound_app_start "$dir"
    pid=$APP_PID
    if ! wid=$(window_find Sablewick 60); then
        e2e_fail "sound" "the program did not open its window"
        kill "$pid" 2>/dev/null
        return 1
    fi
    read -r wx wy _ <<<"$(window_geometry "$wid")"
    # The opening cue is six seconds long; its first one and a half are enough.
    sound_wait_take "$dir" 15 && sleep 1.5
    sound_expect "sound at start" "$dir" A01

    sound_reading "$wx" "$wy"
    sound_expect "sound of a reading" "$dir" A02

    # The creator of the card now shown: the first two characters of its creator line.
    number=$(child_text Static '^CARD[.]')
    case "$number" in
        CARD.[0-9][0-9][0-9])
            card=$((10#${number#CARD.}))
            line=$(card_line "$card" 3)
            code=${line:0:2}
            sound_hold "$wx" "$wy" $((457 + 75)) $((549 + 17)) 2.6
            sleep 0.5
            sound_expect "sound while クリエイター is held ($number, creator $code)" "$dir" "B$code"
            ;;
        *) e2e_fail "sound while クリエイター is held" "no card number shown after the reading: '$number'" ;;
    esac

    sound_close "sound" "$pid" "$wx" "$wy"
}

# Sound off: the same actions, and the menu opened, are silent; switching the sound on
# again in the menu is confirmed by A10, which also shows the device was listening.
scenario_sound_muted() {
    local dir="$E2E_DIR/app-muted" wid pid wx wy out
    sound_device_prepare "$dir"
    write_settings "$dir" MuteOn=1 Fate=0 "OldDate=$(date +%Y/%m/%d)" "MemDate=$(date +%Y/%m/%d)"
    SOUND_MARK=0
    sound_app_start "$dir"
    pid=$APP_PID
    if ! wid=$(window_find Sablewick 60); then
        e2e_fail "muted" "the program did not open its window"
        kill "$pid" 2>/dev/null
        return 1
    fi
    read -r wx wy _ <<<"$(window_geometry "$wid")"
    sleep 2
    sound_reading "$wx" "$wy"
    sound_hold "$wx" "$wy" $((457 + 75)) $((549 + 17)) 1.5
    # The options menu with a right click on the frame; its opening cue is muted too.
    mouse_click $((wx + 410)) $((wy + 450)) 3
    sleep 1
    local -a takes
    mapfile -t takes < <(sound_new_takes "$dir" all)
    if out=$(sound_matches silent "${takes[@]}"); then
        e2e_pass "muted: start, a reading, クリエイター and the menu made no sound ($out)"
    else
        e2e_fail "muted" "with MuteOn=1: $out (takes in $dir/takes)"
    fi
    sound_mark "$dir"
    # 音声を消す(&M): sound on again.
    key_press m
    sound_wait_take "$dir" 5 && sleep 0.8
    sound_expect "muted: switching the sound on again" "$dir" A10
    sound_close "muted" "$pid" "$wx" "$wy"
}

scenario_sound_on
scenario_sound_muted
