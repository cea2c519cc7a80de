#!/usr/bin/env bats
# On Wayland the tray is a StatusNotifier host: the closed program lives on as an
# item that counts the active alarms, opens the main window on a click and hands
# the host its menu, whose Exit ends it. A second start brings the hidden window back.
load wayland

main='^Dawnbell$'

# hidden PID: closes the main window and waits for the tray item (sets ITEM).
hide() { close_window "$1" && off_screen "$1" "$main" && registered "$1"; }

@test "the tray item counts the alarms, opens the window on a click and exits from its menu" {
    profile Gym 07:30:00 am "" "$(date -d tomorrow +%A), " 0 ""    # never due during the test
    index Gym
    start
    on_screen "$APP" "$main" focused
    arm "$APP" Gym
    hide "$APP"
    [ "$(item ToolTip | jq -r '.[2]')" = "Alarm Clock - 1 Active Alarm!" ]

    bus call "${ITEM[@]}" org.kde.StatusNotifierItem Activate ii 0 0     # what the host does on a click
    on_screen "$APP" "$main" focused

    hide "$APP"
    menu=$(item Menu | jq -r .)
    [ "$menu" != /NO_DBUSMENU ]
    exit=$(bus call -j -- "${ITEM[0]}" "$menu" com.canonical.dbusmenu GetLayout iias 0 -1 0 |
        jq '.. | arrays | select(length == 3 and (.[1] | type) == "object" and .[1].label.data == "Exit") | .[0]')
    [ -n "$exit" ]
    bus call "${ITEM[0]}" "$menu" com.canonical.dbusmenu Event isvu "$exit" clicked i 0 0
    ended "$APP"
    [ "$STATUS" -eq 0 ]
    wait_for 5 not item_of "$APP"
}

@test "a second start brings the hidden main window back" {
    start
    first=$APP
    on_screen "$first" "$main"
    hide "$first"
    start
    on_screen "$first" "$main"
    on_screen "$APP" "$main" focused      # its "already running" box
    wl wtype -k Return
    ended "$APP"
    [ "$STATUS" -eq 0 ]
}
