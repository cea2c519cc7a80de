#!/usr/bin/env bash
# An activated alarm rings at its time: the alarm window opens over the disabled
# main window and the sound plays, in a loop, until the program ends.
source "$(dirname "$0")/lib.sh"
e2e_setup

write_profile Morning 07:30:00 am "$APPDIR/Sample2.mp3" Everyday 0 "Coffee first"
index_profiles Morning
start_app_at "2026-12-09 07:29:50"
app=$APP_PID
main=$(wait_window --pid "$app" Dawnbell 15)
check "the main window lists the saved profile" wait_state "$app" '^  [^ ]+ lstSaved \["Morning"\]'

click_widget "$app" lstSaved 30 8
wait_state "$app" 'lstSaved \["Morning"\*\]'
click_widget "$app" cmdAlarm
check "Activate moves the profile to the active alarms" \
    wait_state "$app" '^  [^ ]+ lstActive \["Morning \(07:30:00 am\)"\*?\]'
if sound_available; then
    rms=$(record_rms 2)
    check "nothing plays before the alarm's time (RMS $rms)" silent "$rms"
fi

check "at 07:30:00 the alarm window opens" wait_state "$app" '^window [^ ]+ frmAlarm ' 15
check "it shows the profile's name" wait_state "$app" '^  [^ ]+ lblAlarm "Morning"'
check "the main window is disabled meanwhile" wait_state "$app" '^window [^ ]+ frmMain "Dawnbell".* disabled'
if sound_available; then
    rms=$(record_rms 2)
    check "the sound plays (RMS $rms)" loud "$rms"
    sleep 1
    rms=$(record_rms 2)   # Sample2 lasts 2 s: this is a later pass
    check "and goes on in a loop (RMS $rms)" loud "$rms"
fi

kill -TERM "$app"
check "SIGTERM ends the ringing program with status 0" eval 'wait_exit "$app" 5 && [[ $EXIT_CODE == 0 ]]'
if sound_available; then
    rms=$(record_rms 1)
    check "and the sound stops with it (RMS $rms)" silent "$rms"
fi

finish
