#!/usr/bin/env bash
# The close box and Alarm > Close hide the main window to a tray icon; the icon
# brings it back on a double click and offers Open and Exit on a right click.
source "$(dirname "$0")/lib.sh"
e2e_setup

start_main
app=$APP_PID main=$MAIN
check "the main window is shown at start" test -n "$main"
check "there is no tray icon at start" eval '! tray_icon_window >/dev/null'

close_window "$main"
check "the close box hides the main window" window_gone Dawnbell
check "the program keeps running with its window closed" running "$app"
check "an icon is docked in the tray" eval 'wait_tray_icon >/dev/null'
tray_hover
check "the icon's tooltip counts no active alarms" \
    wait_state "$app" '^tooltip "Alarm Clock - No Active Alarms!"$'

tray_click
sleep 1
check "a single click on the icon leaves the window hidden" eval '! window_visible "$main"'
check "a single click leaves the icon" eval 'tray_icon_window >/dev/null'

tray_double_click
check "a double click on the icon shows the window again" eval 'wait_window Dawnbell 5 >/dev/null'
check "the double click removes the icon" tray_icon_gone

key_to "$main" ctrl+c
check "Alarm > Close (Ctrl+C) hides the window like the close box" window_gone Dawnbell
check "Alarm > Close docks the icon" eval 'wait_tray_icon >/dev/null'

tray_right_click
check "a right click on the icon opens the menu Open, separator, Exit" \
    wait_state "$app" '^menu [^ ]+ \["Open", "---", "Exit"\]$'
xdotool key Down Return
check "Open shows the window" eval 'wait_window Dawnbell 5 >/dev/null'
check "Open removes the icon" tray_icon_gone

close_window "$main"
wait_tray_icon >/dev/null
tray_right_click
wait_state "$app" '^menu '
xdotool key Up Return
check "Exit ends the program" wait_exit "$app" 5
check "with exit status 0" test "$EXIT_CODE" = 0
check "and leaves no icon behind" tray_icon_gone

finish
