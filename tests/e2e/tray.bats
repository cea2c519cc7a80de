#!/usr/bin/env bats
# Closing hides the main window to a tray icon that counts the active alarms (not
# the saved ones); the icon brings it back on a click or a double click and offers
# Open and Exit on a right click.
load helpers

# tooltip REGEX: rests on the icon until the tooltip shows. The pointer comes from
# elsewhere each time and moves a little on the icon: Qt shows no tooltip for a
# bare enter, and often not for the first visit.
tooltip() {
    local _ w
    w=$(wait_tray)
    for _ in 1 2 3 4 5 6; do
        xdotool mousemove 640 400
        xdotool mousemove --window "$w" 8 8 && xdotool mousemove --window "$w" 10 12 &&
            xdotool mousemove --window "$w" 12 14 && shows "$APP" "$1" 2 && return 0
    done
    return 1
}

@test "the tray icon hides, shows and ends the program" {
    profile Gym 07:30:00 am "" "$(date -d tomorrow +%A), " 0 ""    # never due during the test
    index Gym
    start_main
    [ -n "$MAIN" ]
    not tray_icon
    activate "$APP" Gym 1
    close_box "$MAIN"
    hidden "$MAIN"
    wait_tray
    tooltip '^tooltip "Alarm Clock - 1 Active Alarm!"$'

    on_tray click 1
    mapped "$MAIN"
    tray_gone

    close_box "$MAIN"
    hidden "$MAIN"
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
