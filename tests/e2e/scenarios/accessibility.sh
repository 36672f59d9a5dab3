# Scenario group: the window as a screen reader and a keyboard user meet it, through
# MSAA from another process (sablewick_winprobe accessibles / accdo / accwatch):
#   - the painted buttons are push buttons with their Japanese names and the screen
#     rectangles they are drawn in; 占い実行 is unavailable while the wish box is empty;
#     the reading is a read-only text named by the card shown
#   - a wish typed and 占い実行 activated by the reader draws the wish's card: the reader
#     hears the reading's new name (a live-region and a name change) and the reading names
#     the card; 閉じる activated by the reader closes the program, which saves the wish
#   - Tab from the wish box gives a button the focus: the reader sees it focused and a
#     dotted ring is drawn around it; a click into the wish box takes the ring away;
#     Tab and Space on ランダム draw a card
#   - 次へ activated opens the card index on the card's page: its cells are list items,
#     the card shown selected
# Sourced by tests/e2e/run_wine_tests.sh after its main scenarios.
# shellcheck shell=bash

acc_window_x() { echo $(((E2E_SCREEN_W - 737) / 2)); }
acc_window_y() { echo $(((E2E_SCREEN_H - 584) / 2 - 6)); }

# The line of the accessible object named NAME (field 4) from a listing.
acc_line() { awk -F'\t' -v name="$2" '$4 == name { print; exit }' <<<"$1"; }
# The reading's name: "占いの結果 CARD.nnn ...".
acc_reading() { awk -F'\t' '$1 == "statictext" && $4 ~ /^占いの結果 / { print $4; exit }' <<<"$1"; }
acc_states() { acc_line "$1" "$2" | cut -f2; }
acc_focused_name() {
    probe accessibles Sablewick | awk -F'\t' '$2 ~ /(^|,)focused(,|$)/ { print $4; exit }'
}
acc_card() { acc_reading "$(probe accessibles Sablewick)" | cut -d' ' -f2; }

scenario_accessibility() {
    local dir="$E2E_DIR/accessibility" name="accessibility"
    write_settings "$dir" Fate=0 "OldDate=$TODAY" "MemDate=$TODAY" MuteOn=1
    app_start "$dir"
    local pid=$APP_PID wx wy
    wx=$(acc_window_x)
    wy=$(acc_window_y)
    if ! window_find Sablewick 60 >/dev/null; then
        e2e_fail "$name" "no window within 60 s"
        kill "$pid" 2>/dev/null
        return 1
    fi
    sleep 1.5

    # The tree at start.
    local tree
    tree=$(probe accessibles Sablewick)
    printf '%s\n' "$tree" >"$E2E_DIR/accessibles-start.txt"
    local buttons missing="" b
    buttons=$(awk -F'\t' '$1 == "pushbutton" { print $4 }' <<<"$tree" | tr '\n' ' ')
    for b in 占い実行 ランダム クリエイター HP 前へ 次へ 最小化 閉じる; do
        [ -n "$(acc_line "$tree" "$b")" ] || missing="$missing $b"
    done
    local close_rect
    close_rect=$(acc_line "$tree" 閉じる | cut -f3)
    if [ -z "$missing" ] && [ "$close_rect" = "$((wx + 703)) $((wy + 1)) 33 33" ] &&
        [ "$(acc_states "$tree" 占い実行)" = unavailable ] &&
        [ "$(acc_states "$tree" ランダム)" = focusable ] &&
        [ "$(acc_reading "$tree" | cut -d' ' -f2)" = CARD.000 ]; then
        e2e_pass "$name: the painted buttons are push buttons by name ($buttons), 閉じる at its drawn place, 占い実行 unavailable with no wish, the reading names CARD.000"
    else
        e2e_fail "$name" "at start: missing '$missing', 閉じる at '$close_rect', 占い実行 '$(acc_states "$tree" 占い実行)', reading '$(acc_reading "$tree" | cut -c1-40)' (see $E2E_DIR/accessibles-start.txt)"
    fi

    # A wish and the reader's activation of 占い実行, heard from outside.
    local heard="$E2E_DIR/accessibles-heard.txt" watcher
    probe accwatch Sablewick 8 >"$heard" &
    watcher=$!
    sleep 1.5
    type_text abc
    sleep 0.3
    local done
    done=$(probe accdo Sablewick 占い実行)
    sleep 4
    wait "$watcher"
    tree=$(probe accessibles Sablewick)
    local reading title
    reading=$(acc_reading "$tree")
    title=$(card_line 12 1)
    if [ "$done" = done ] && [ "${reading#占いの結果 CARD.012 "$title"}" != "$reading" ] &&
        grep -q "^liveregion	占いの結果 CARD.012 " "$heard" &&
        grep -q "^namechange	占いの結果 CARD.012 " "$heard"; then
        e2e_pass "$name: 占い実行 activated by the reader draws card 12 for 'abc', the reading names it with its title '$title', heard as a live region"
    else
        e2e_fail "$name" "activation answered '$done', reading '$reading', heard: $(cut -c1-60 "$heard" | tr '\n' '|')"
    fi

    # Tab gives a button the focus and its ring; a click into the wish box takes it away.
    local before="$E2E_DIR/acc-before-tab.png" after="$E2E_DIR/acc-after-tab.png"
    local clicked="$E2E_DIR/acc-after-click.png" random_area
    random_area="103x39+$((wx + 580))+$((wy + 233))"
    screenshot "$before"
    key_press Tab
    sleep 0.5
    tree=$(probe accessibles Sablewick)
    screenshot "$after"
    cp "$after" "$SHOTS/focus-ring.png"
    local focused ring
    focused=$(awk -F'\t' '$2 ~ /(^|,)focused(,|$)/ { print $4 }' <<<"$tree" | tr '\n' ' ')
    ring=$(pixels_differing "$before" "$after" "$random_area")
    mouse_click $((wx + 463 + 40)) $((wy + 82 + 20))
    sleep 0.5
    screenshot "$clicked"
    local gone
    gone=$(pixels_differing "$before" "$clicked" "$random_area")
    if [ "$focused" = "ランダム " ] && [ "${ring:-0}" -ge 40 ] && [ "${gone:-1}" -eq 0 ]; then
        e2e_pass "$name: Tab focuses ランダム for the reader and rings it ($ring pixels changed), a click into the wish box takes the ring away"
    else
        e2e_fail "$name" "after Tab focused '$focused', ring pixels '$ring'; after the click '$gone' still differ ($after, $clicked)"
    fi

    space_draws_a_card "$name" CARD.012 acc_focused_name acc_card 4
    local drawn=$SPACE_DRAWN

    # The index's cells.
    probe accdo Sablewick 次へ >/dev/null
    sleep 1
    tree=$(probe accessibles Sablewick)
    printf '%s\n' "$tree" >"$E2E_DIR/accessibles-index.txt"
    local cells selected want n
    cells=$(awk -F'\t' '$1 == "listitem"' <<<"$tree" | wc -l)
    selected=$(awk -F'\t' '$1 == "listitem" && $2 ~ /(^|,)selected(,|$)/ { print $4; exit }' <<<"$tree")
    n=${drawn#CARD.}
    n=$((10#${n:-0}))
    want="$drawn $(card_line "$n" 1)"
    # Ten cells a page, the title card's page too.
    local want_cells=10
    if [ "$cells" -eq "$want_cells" ] && [ "$selected" = "$want" ]; then
        e2e_pass "$name: 次へ opens the index on the card's page: $cells cells are list items, '$selected' selected"
    else
        e2e_fail "$name" "the index shows $cells list items (want $want_cells), selected '$selected' (want '$want'; see $E2E_DIR/accessibles-index.txt)"
    fi

    # The reader closes the program; the wish is saved.
    probe accdo Sablewick 閉じる >/dev/null
    if ! app_wait_exit "$pid" 20; then
        e2e_fail "$name" "the program still runs 20 s after 閉じる was activated"
        kill "$pid" 2>/dev/null
        return 1
    fi
    local wish
    wish=$(tr -d '\r' <"$dir/Orvane.ini" | sed -n 's/^Wish=//p')
    if [ "$wish" = abc ]; then
        e2e_pass "$name: 閉じる activated by the reader ends the program, which saved the wish"
    else
        e2e_fail "$name" "Orvane.ini after the close holds Wish='$wish'"
    fi
}

scenario_accessibility
