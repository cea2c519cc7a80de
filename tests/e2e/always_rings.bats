#!/usr/bin/env bats
# The alarm rings whatever happens around it: the machine sleeps over its moment,
# another alarm is snoozed when it falls due.
load helpers

ringing='^window [^ ]+ frmAlarm '

setup_file() {
    sox -q -n -b 16 -r 44100 -c 2 "$BATS_FILE_TMPDIR/tone.wav" synth 4 sine 440 vol 0.5
}

@test "an alarm slept over rings on resume, saying it is late" {
    profile Wake 07:30:00 am "$BATS_FILE_TMPDIR/tone.wav" Everyday 0 Up
    index Wake
    start_movable "2026-12-09 07:29:45"
    activate "$APP" Wake 1
    not shows "$APP" "$ringing" 0
    jump_to "2026-12-09 07:35:00"
    shows "$APP" "$ringing" 20
    shows "$APP" '^  QLabel lblNotice "Late: due 07:30:00 am, rang at 07:35:[0-9]{2} am\."'
    loud
}

@test "an alarm due while another is snoozed takes the window and is heard" {
    profile First 07:30:00 am "$BATS_FILE_TMPDIR/tone.wav" Everyday 0 One
    profile Second 07:30:12 am "$BATS_FILE_TMPDIR/tone.wav" Everyday 0 Two
    index First Second
    start_at "2026-12-09 07:29:55"
    activate "$APP" First 1
    activate "$APP" Second 1
    shows "$APP" '^  QLabel lblAlarm "First"' 20
    keys "$(timeout 15 xdotool search --all --sync --onlyvisible --pid "$APP" --name '^Alarm' | head -n 1)" space
    shows "$APP" '^  QLabel lblSnooze "00:0[45]:[0-9]{2}"'
    silent
    shows "$APP" '^  QLabel lblAlarm "Second"' 20
    shows "$APP" '^  QLabel lblNote "One\\r\\nTwo"'
    loud
}

@test "kept alarms come back when started with the desktop, hidden in the tray, and ring" {
    profile Wake 07:30:00 am "$BATS_FILE_TMPDIR/tone.wav" Everyday 0 Up
    index Wake
    printf '[Alarms]\nKeepActive=true\nActive=Wake, Gone\n' >"$XDG_CONFIG_HOME/dawnbell/preferences.conf"
    start_at "2026-12-09 07:29:56" --hidden
    wait_tray
    shows "$APP" 'QLabel [^ ]+ "These alarms were active when Dawnbell last ran, but their profiles no longer exist or cannot be read: Gone"'
    shows "$APP" "$ringing" 20
    loud
    not grep -qE '^window [^ ]+ frmMain ' <<<"$(state "$APP")"
}
