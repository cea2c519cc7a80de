#!/usr/bin/env bats
# Closing hides the main window to a tray icon that counts the active alarms; the
# icon brings it back on a double click and offers Open and Exit on a right click.
load helpers

# tooltip REGEX: rests on the icon until the tooltip shows. The pointer comes from
# elsewhere each time: Qt misses an enter that arrives before the icon is embedded.
tooltip() {
    local _
    for _ in 1 2 3 4 5; do
        xdotool mousemove 640 400 && on_tray && shows "$APP" "$1" 3 && return 0
    done
    return 1
}

@test "the tray icon hides, shows and ends the program" {
    start_main
    [ -n "$MAIN" ]
    not tray_icon
    close_box "$MAIN"
    hidden "$MAIN"
    wait_tray
    tooltip '^tooltip "Alarm Clock - No Active Alarms!"$'

    on_tray click --repeat 2 --delay 100 1
    mapped "$MAIN"
    tray_gone

    keys "$MAIN" ctrl+c                          # Alarm > Close
    wait_tray
    tray_menu "$APP"
    shows "$APP" '^menu mnuTray \["Open", "---", "Exit"\]$' 0
    menu_entry "$APP" 10
    mapped "$MAIN"
    tray_gone

    close_box "$MAIN"
    tray_menu "$APP"
    menu_entry "$APP" -10
    ended "$APP"
    [ "$STATUS" -eq 0 ]
    tray_gone
}
