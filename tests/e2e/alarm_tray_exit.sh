#!/usr/bin/env bash
# With the main window hidden in the tray, a ringing alarm can still be ended
# through the tray icon's Exit, and the sound ends with the program.
source "$(dirname "$0")/lib.sh"
e2e_setup

write_profile Wake 07:30:00 am "$APPDIR/Sample1.mp3" Everyday 0 "Up"
index_profiles Wake
start_alone start_app_at "2026-12-09 07:29:54"
app=$APP_PID
click_widget "$app" lstSaved 30 8
wait_state "$app" 'lstSaved \["Wake"\*\]' && click_widget "$app" cmdAlarm
wait_state "$app" '^  [^ ]+ lstActive \["Wake'
close_window "$MAIN_WIN"
check "the main window hides to the tray" eval 'wait_tray_icon >/dev/null'
check "the alarm window opens at 07:30:00" wait_state "$app" '^window [^ ]+ frmAlarm ' 15

# The press opens the menu; a try or two more in case a click is lost.
for _ in 1 2 3; do
    tray_right_click
    wait_state "$app" '^menu [^ ]+ \["Open", "---", "Exit"\]$' 4 && break
done
check "while it rings the tray icon still opens its menu" wait_state "$app" '^menu [^ ]+ \["Open", "---", "Exit"\]$' 0
xdotool key Up Return
check "Exit ends the ringing program" wait_exit "$app" 5
check "with exit status 0" test "$EXIT_CODE" = 0
if sound_available; then
    rms=$(record_rms 1)
    check "and the sound stops (RMS $rms)" silent "$rms"
fi
check "no icon is left in the tray" tray_icon_gone

finish
