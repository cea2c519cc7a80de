#!/usr/bin/env bats
# Closing hides the main window to a tray icon that counts the active alarms; the
# icon brings it back on a double click and offers Open and Exit on a right click.
load helpers

@test "the tray icon hides, shows and ends the program" {
    start_main
    [ -n "$MAIN" ]
    not tray_icon
    close_box "$MAIN"
    hidden "$MAIN"
    wait_tray
    # Resting on the icon shows the tooltip; the pointer comes from elsewhere each
    # time, since Qt misses an enter that arrives before the icon is embedded.
    tip='^tooltip "Alarm Clock - No Active Alarms!"$'
    for try in 1 2 3 4 5; do
        xdotool mousemove 640 400 && on_tray && shows "$APP" "$tip" 3 && break
    done
    shows "$APP" "$tip" 0

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
