#!/usr/bin/env bats
# Alarms ring at their time on the real desktop and sound server: full volume at
# once or rising from quiet; every answer and every way out stops the sound. (The
# widget tests ring with no sound server, also over every box and window.)
load helpers

ringing='^window [^ ]+ frmAlarm '
enabled='^window [^ ]+ frmMain "Dawnbell"( active)?$'

setup_file() {
    # A steady tone: its loudness in a recording depends on the volume alone.
    sox -q -n -b 16 -r 44100 -c 2 "$BATS_FILE_TMPDIR/tone.wav" synth 4 sine 440 vol 0.5
}

@test "an alarm rings at its time, snoozes, is disabled; a rising one grows and is dismissed" {
    tone=$BATS_FILE_TMPDIR/tone.wav
    profile Tone 07:30:00 am "$tone" "Wednesday, " 0 Steady     # 2026-12-09 is a Wednesday
    profile Rise 07:30:25 am "$tone" "Monday, Wednesday, " 1 Slowly
    index Tone Rise
    start_at "2026-12-09 07:29:50"
    activate "$APP" Tone 2
    silent
    shows "$APP" "$ringing" 20
    shows "$APP" '^window [^ ]+ frmMain .* disabled'
    loud
    alarm=$(alarm_window)
    keys "$alarm" space
    shows "$APP" '^  QLabel lblSnooze "00:0(5:00|4:59)"' 3
    silent
    click "$APP" cmdDeactivate
    gone "$APP" "$ringing"
    shows "$APP" 'lstSaved \["Rise", "Tone"\*?\]'
    shows "$APP" 'lstActive \[\]'
    shows "$APP" "$enabled"
    silent

    activate "$APP" Rise 1
    shows "$APP" "$ringing" 30
    opened=$EPOCHREALTIME
    early=$(rms 1.5)
    wait_for 15 eval '(( ${EPOCHREALTIME%.*} - ${opened%.*} >= 12 ))'
    late=$(rms 1.5)
    if [[ $DAWNBELL_TEST_SOUND == 1 ]]; then
        awk -v e="$early" -v l="$late" 'BEGIN {exit !(e > 0.0001 && e < 0.1 && l > 3 * e)}'
    fi
    keys "$(alarm_window)" Escape
    gone "$APP" "$ringing"
    silent
    shows "$APP" "$enabled"
    shows "$APP" 'lstActive \["Rise \(07:30:25 am\)"\*?\]'
}

@test "a ringing program hidden in the tray ends through the tray menu, and so does the sound" {
    profile Wake 07:30:00 am "$APPDIR/Sample1.mp3" Everyday 0 Up
    index Wake
    start_at "2026-12-09 07:29:52"
    activate "$APP" Wake 1
    close_box "$(window "$APP" Dawnbell)"
    wait_tray
    shows "$APP" "$ringing" 15
    loud
    tray_menu "$APP"
    menu_entry "$APP" -10
    ended "$APP"
    [ "$STATUS" -eq 0 ]
    silent
    tray_gone
}
