# Sourced by run_wine_tests.sh: the program on a display scaled to 100, 150 and 200 %
# (the prefix's LogPixels at 96, 144 and 192 dpi), on a screen of its own large enough
# for the window at 200 %:
#   - the window is 737 x 584, 1106 x 876 and 1474 x 1168 pixels
#   - reduced to 737 x 584 its picture is the one shown at 100 % (text may differ in its
#     edges), and outside its scaled shape the screen shows
#   - a click into the drawn wish box, typing, Enter and a click on the drawn close
#     button draw the right card and save it with the wish
#   - a screen reader finds the drawn close button where it is drawn
# Screenshots are left in $SHOTS/scale-DPI.png.

SCALE_SCREEN_W=1600
SCALE_SCREEN_H=1200

scale_set_dpi() {
    wineserver -w
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wineserver -w
}

# One run at DPI: sets SCALE_SHOT to the window's screenshot.
scale_run() {
    local dpi=$1 want_w=$2 want_h=$3 name="scale $1 dpi"
    local dir="$E2E_DIR/scale-$dpi"
    write_settings "$dir" Fate=0 "OldDate=$TODAY" "MemDate=$TODAY" MuteOn=1
    scale_set_dpi "$dpi"
    app_start "$dir"
    local pid=$APP_PID wid
    if ! wid=$(window_find Sablewick 30); then
        e2e_fail "$name" "no window"
        kill "$pid" 2>/dev/null
        return 1
    fi
    sleep 1.5
    # shellcheck disable=SC2046
    set -- $(window_geometry "$wid")
    local x=$1 y=$2 w=$3 h=$4
    if [ "$w" = "$want_w" ] && [ "$h" = "$want_h" ]; then
        e2e_pass "$name: the window is ${w}x$h"
    else
        e2e_fail "$name" "the window is ${w}x$h, want ${want_w}x$want_h"
    fi
    # What a screen reader is told of the drawn close button: the physical pixels it is
    # drawn in (the program's 703, 1, 33 x 33 scaled; within a pixel at 150 %).
    local got tol=0 want_rect i ok=1
    [ $((dpi % 96)) -eq 0 ] || tol=1
    got=$(probe accessibles Sablewick | awk -F'\t' '$4 == "閉じる" { print $3; exit }')
    want_rect="$((x + 703 * dpi / 96)) $((y + 1 * dpi / 96)) $((33 * dpi / 96)) $((33 * dpi / 96))"
    # shellcheck disable=SC2206
    local g=($got) e=($want_rect)
    for i in 0 1 2 3; do
        local d=$((${g[i]:-99999} - ${e[i]}))
        [ "${d#-}" -le "$tol" ] || ok=0
    done
    if [ "$ok" -eq 1 ]; then
        e2e_pass "$name: the reader finds 閉じる at $got, where it is drawn"
    else
        e2e_fail "$name" "the reader finds 閉じる at '$got', drawn at $want_rect"
    fi

    local full="$SHOTS/scale-screen-$dpi.png"
    SCALE_SHOT="$SHOTS/scale-$dpi.png"
    screenshot "$full"
    convert "$full" -crop "${w}x$h+$x+$y" +repage "$SCALE_SHOT"

    # Outside the shape the white screen behind shows; the mask is scaled by the
    # program's rule (each pixel the mask pixel under its centre).
    local mask="$E2E_DIR/mask-$dpi.png"
    convert "$E2E_ROOT/resources/BASEMSK.bmp" -filter point -resize "${w}x$h!" "$mask"
    local shape
    if shape=$(area_matches shape "$full" "$x" "$y" "$mask"); then
        e2e_pass "$name: outside the scaled shape the screen shows ($shape)"
    else
        e2e_fail "$name" "outside the shape: $shape"
    fi

    # The drawn wish box and close button, where the picture shows them.
    local s_num=$dpi
    mouse_click $((x + (463 + 40) * s_num / 96)) $((y + (82 + 20) * s_num / 96))
    type_text abc
    key_press Return
    sleep 3
    mouse_click $((x + (703 + 16) * s_num / 96)) $((y + (1 + 16) * s_num / 96))
    if ! app_wait_exit "$pid" 20; then
        e2e_fail "$name" "the program still runs 20 s after a click on the drawn close button"
        kill "$pid" 2>/dev/null
        return 1
    fi
    local card wish
    card=$(tr -d '\r' <"$dir/Orvane.ini" | sed -n 's/^CardNum=//p')
    wish=$(tr -d '\r' <"$dir/Orvane.ini" | sed -n 's/^Wish=//p')
    if [ "$card" = 12 ] && [ "$wish" = abc ]; then
        e2e_pass "$name: clicks on the drawn wish box and close button drew card 12 for 'abc' and saved it"
    else
        e2e_fail "$name" "Orvane.ini holds CardNum='$card' Wish='$wish'"
    fi
}

scenario_display_scale() {
    local main_display=$DISPLAY main_xvfb=$XVFB_PID
    wineserver -w
    if ! xvfb_start "$E2E_DIR/xvfb-scale.log" -screen 0 "${SCALE_SCREEN_W}x${SCALE_SCREEN_H}x24" -wr; then
        XVFB_PID=$main_xvfb
        export DISPLAY="$main_display"
        e2e_fail "display scale" "the X server of ${SCALE_SCREEN_W}x$SCALE_SCREEN_H did not start"
        return 1
    fi

    local reference="" light
    if scale_run 96 737 584; then reference="$E2E_DIR/scale-reference.png"; cp "$SCALE_SHOT" "$reference"; fi
    for run in "144 1106 876" "192 1474 1168"; do
        # shellcheck disable=SC2086
        set -- $run
        scale_run "$1" "$2" "$3" || continue
        [ -n "$reference" ] || continue
        # Reduced by area to the program's own size, the picture is the 100 % one; the
        # sparkles (their own clock) and the texts' edges are all that may differ. At
        # 150 % the two resamplings mix an edge pixel with up to a third of its
        # neighbour, hence the tolerance: the picture one pixel off matches 91 % of it.
        local reduced="$E2E_DIR/scale-reduced-$1.png" result
        convert "$SCALE_SHOT" -filter box -resize '737x584!' "$reduced"
        light="160 252 87 87"
        # shellcheck disable=SC2086
        if result=$(area_matches still "$reduced" 0 0 "$reference" --exclude $light \
            --tolerance 48 --min-share 0.96); then
            e2e_pass "scale $1 dpi: reduced to 737 x 584 it shows the 100 % picture ($result)"
        else
            e2e_fail "scale $1 dpi" "reduced to 737 x 584 it differs from the 100 % picture: $result"
        fi
    done

    scale_set_dpi 96
    xvfb_stop
    XVFB_PID=$main_xvfb
    export DISPLAY="$main_display"
}

scenario_display_scale
