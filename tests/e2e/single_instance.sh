#!/usr/bin/env bash
# A second copy refuses to start with a message box and leaves the running one
# alone, whether its window is shown or hidden in the tray; a killed copy does not
# block the next start.
source "$(dirname "$0")/lib.sh"
e2e_setup

start_main
first=$APP_PID main=$MAIN
check "the first copy shows its main window" test -n "$main"

start_app
second=$APP_PID
box=$(wait_window --pid "$second" Dawnbell 15)
check "a second copy shows a window titled Dawnbell" test -n "$box"
check "that window is a message box" is_dialog "$box"
# Two line breaks between the sentences, CR LF or LF.
check "the box says an instance is already running and where its icon is" \
    wait_state "$second" '^  QLabel [^ ]+ "An instance of Dawnbell is already running\.(\\r)?\\n(\\r)?\\nIf you do not see any open windows, check your system tray for the Dawnbell icon\."$'
check "the box has one button, OK" \
    eval '[[ $(app_state "$second" | grep -E "^  Q[A-Za-z]*Button " | sed "s/^  [^ ]* [^ ]* //") == "\"OK\"" ]]'
check "the second copy waits for the answer" running "$second"
key_to "$box" Return
check "the second copy ends after OK" wait_exit "$second" 5
check "the first copy still runs" running "$first"
check "the first copy's main window is still shown" window_visible "$main"
check "the first copy has no tray icon" eval '! tray_icon_window >/dev/null'

close_window "$main"
wait_tray_icon >/dev/null
start_app
third=$APP_PID
box=$(wait_window --pid "$third" Dawnbell 15)
check "a copy started while the first is in the tray shows the box" \
    eval '[[ -n $box ]] && is_dialog "$box"'
key_to "$box" Return
check "and ends after OK" wait_exit "$third" 5
check "the first copy stays hidden" eval '! window_visible "$main"'
check "the first copy keeps its tray icon" eval 'tray_icon_window "$first" >/dev/null'

kill -KILL "$first"
wait_exit "$first" 5
start_app
fourth=$APP_PID
win=$(wait_window --pid "$fourth" Dawnbell 15)
check "after the first copy was killed the next one starts" test -n "$win"
check "with its main window, not the box" eval '[[ -n $win ]] && ! is_dialog "$win"'

finish
