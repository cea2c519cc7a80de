#!/usr/bin/env bash
# SIGTERM ends the program cleanly, also with its window hidden in the tray, and
# the next start is not refused.
source "$(dirname "$0")/lib.sh"
e2e_setup

start_main
main=$MAIN
check "the main window is shown" test -n "$main"
kill -TERM "$APP_PID"
check "SIGTERM ends the program within 5 s" wait_exit "$APP_PID" 5
check "with exit status 0" test "$EXIT_CODE" = 0

start_main
main=$MAIN
check "after SIGTERM the next copy starts with its main window" \
    eval '[[ -n $main ]] && ! is_dialog "$main"'
close_window "$main"
check "the window hides to the tray" eval 'wait_tray_icon >/dev/null'
kill -TERM "$APP_PID"
check "SIGTERM ends the program hidden in the tray within 5 s" wait_exit "$APP_PID" 5
check "with exit status 0" test "$EXIT_CODE" = 0
check "its tray icon goes with it" tray_icon_gone

finish
