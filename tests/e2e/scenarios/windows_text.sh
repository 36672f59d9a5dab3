# Scenario group: Japanese text and file names on a Windows that is not set up for them.
#   - a program folder named "Café ☆" (é is outside code page 932): the program starts,
#     a reading, the wallpaper, the close; Orvane.ini with the wish and WallOrvane.bmp
#     are written there, and the desktop's wallpaper names the folder as it is (not as
#     a short 8.3 name or with "?")
#   - a Wine prefix without our MS Gothic replacement (as a Windows without the optional
#     Japanese fonts): every label and the wish box use one installed face that has a
#     glyph for every character they show (no empty boxes), and the text is drawn
# Sourced by tests/e2e/run_wine_tests.sh after its main scenarios.
# shellcheck shell=bash

# The window's position when the program centres itself, and its close button.
wt_window_x() { echo $(((E2E_SCREEN_W - 737) / 2)); }
wt_window_y() { echo $(((E2E_SCREEN_H - 584) / 2 - 6)); }
wt_close() {
    mouse_click $(($(wt_window_x) + 703 + 16)) $(($(wt_window_y) + 1 + 16))
}

scenario_foreign_folder() {
    local dir="$E2E_DIR/Café ☆" seen wish=kiboh
    seen=$(printf 'l%.0s' $(seq 1 49))
    write_settings "$dir" Fate=0 "OldDate=$TODAY" "MemDate=$TODAY" "CardOk=$seen"
    app_start "$dir"
    local pid=$APP_PID
    if ! window_find Sablewick 60 >/dev/null; then
        e2e_fail "foreign folder" "no window from $dir within 60 s"
        return 1
    fi
    sleep 1
    mouse_click $(($(wt_window_x) + 463 + 60)) $(($(wt_window_y) + 82 + 60))
    sleep 0.3
    type_text "$wish"
    key_press Return
    sleep 3
    open_menu
    key_press w
    local bmp="$dir/WallOrvane.bmp" i
    for i in $(seq 1 100); do
        [ -f "$bmp" ] && break
        sleep 0.2
    done
    sleep 1
    # "reg query" prints in the console's code page; an export is UTF-16 and exact.
    local installed export="$E2E_DIR/desktop.reg"
    rm -f "$export"
    wine reg export 'HKCU\Control Panel\Desktop' "$(winepath -w "$export" 2>/dev/null)" /y >/dev/null 2>&1
    installed=$(iconv -f UTF-16 -t UTF-8 "$export" 2>/dev/null | tr -d '\r' |
        sed -n 's/^"Wallpaper"="\(.*\)"$/\1/p' | sed 's/\\\\/\\/g')
    if [ -f "$bmp" ] && [ "${installed%\\Café ☆\\WallOrvane.bmp}" != "$installed" ]; then
        e2e_pass "foreign folder: WallOrvane.bmp written in 'Café ☆' and installed by its own name"
    else
        e2e_fail "foreign folder" "wallpaper file there: $([ -f "$bmp" ] && echo yes || echo no); the desktop's wallpaper is '$installed'"
    fi
    wt_close
    if ! app_wait_exit "$pid" 20; then
        e2e_fail "foreign folder" "the program still runs 20 s after the close button"
        kill "$pid" 2>/dev/null
        return 1
    fi
    local ini="$dir/Orvane.ini" card
    card=$(tr -d '\r' <"$ini" 2>/dev/null | sed -n 's/^CardNum=//p')
    if [ -n "$card" ] && [ "$card" != 0 ] && [ ! -e "$ini.new" ] &&
        [ -z "$(find "$E2E_DIR" -maxdepth 1 -name 'Caf*' ! -name 'Café ☆')" ]; then
        e2e_pass "foreign folder: Orvane.ini written in 'Café ☆' (CardNum=$card), no temporary file, no look-alike folder"
    else
        e2e_fail "foreign folder" "Orvane.ini in $dir: CardNum '$card'; leftovers: $(ls -a "$dir" | tr '\n' ' ')"
    fi
    if tr -d '\r' <"$ini" 2>/dev/null | grep -qx "Wish=$wish"; then
        e2e_pass "foreign folder: the wish '$wish' is kept in Orvane.ini"
    else
        e2e_fail "foreign folder" "Orvane.ini holds '$(tr -d '\r' <"$ini" | grep '^Wish')', expected Wish=$wish"
    fi
}

scenario_no_ms_gothic() {
    # A copy of the prepared prefix, with the replacements that give Wine an
    # "ＭＳ ゴシック" taken out again.
    local main_prefix=$WINEPREFIX prefix="$E2E_DIR/wineprefix-nogothic"
    timeout 30 "$WINE_SERVER" -w 2>/dev/null
    rm -rf "$prefix"
    cp -a "$main_prefix" "$prefix"
    export WINEPREFIX=$prefix
    wine reg delete 'HKCU\Software\Wine\Fonts\Replacements' /f >/dev/null 2>&1
    local dir="$E2E_DIR/app-nogothic" report shot="$SHOTS/nogothic.png"
    app_start "$dir"
    local pid=$APP_PID
    if ! window_find Sablewick 60 >/dev/null; then
        e2e_fail "no MS Gothic" "the program did not open its window"
        export WINEPREFIX=$main_prefix
        return 1
    fi
    sleep 1
    report=$(wine "$E2E_BUILD/sablewick_winprobe.exe" fonts Sablewick 2>/dev/null | tr -d '\r')
    screenshot "$shot"
    local faces
    faces=$(printf '%s\n' "$report" | awk -F'\t' 'NF == 5 { print $4 }' | sort -u)
    local lines labels
    lines=$(printf '%s\n' "$report" | grep -c .)
    # Shift-JIS fonts whose face draws every character the control shows.
    labels=$(printf '%s\n' "$report" | awk -F'\t' 'NF == 5 && $3 == 128 && $5 == 0' | grep -c .)
    # The faces Wine offers for Shift-JIS text in this prefix.
    local installed
    installed=$(wine "$E2E_BUILD/sablewick_winprobe.exe" sjisfaces Sablewick 2>/dev/null | tr -d '\r')
    if [ "$lines" -ge 5 ] && [ "$labels" = "$lines" ] && [ "$(printf '%s\n' "$faces" | grep -c .)" = 1 ] &&
        printf '%s\n' "$installed" | grep -qxF "$faces"; then
        e2e_pass "no MS Gothic: the labels and the wish box use '$faces', an installed Japanese face with a glyph for every character they show"
    else
        e2e_fail "no MS Gothic" "fonts: $(printf '%s' "$report" | tr '\n\t' ';,'); installed Japanese faces: $(printf '%s' "$installed" | tr '\n' ';')"
    fi
    # The explanation label (463, 398, 228 x 121), which holds the welcome text at start:
    # its text is drawn, so it holds pixels of another colour than its background
    # (118, 132, 207).
    local ink
    ink=$(convert "$shot" -crop "228x121+$(($(wt_window_x) + 463))+$(($(wt_window_y) + 398))" +repage \
        -fuzz 12% -fill white -opaque 'rgb(118,132,207)' -fill black +opaque white \
        -format '%[fx:int(w*h*(1-mean)+0.5)]' info: 2>/dev/null)
    if [ "${ink:-0}" -ge 20 ]; then
        e2e_pass "no MS Gothic: the welcome text is drawn ($ink pixels of text)"
    else
        e2e_fail "no MS Gothic" "the explanation label shows ${ink:-no} pixels of text ($shot)"
    fi
    wt_close
    app_wait_exit "$pid" 20 || kill "$pid" 2>/dev/null
    timeout 30 "$WINE_SERVER" -w 2>/dev/null
    export WINEPREFIX=$main_prefix
}

scenario_foreign_folder
scenario_no_ms_gothic
