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
    start_by_clock "2026-12-09 07:29:45"
    activate "$APP" Wake 1
    not shows "$APP" "$ringing" 0
    set_clock "2026-12-09 07:35:00"
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
    keys "$(alarm_window)" space
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

# due_all TIME: the thirty profiles, all due at TIME, written as an editor that
# saves whole files does (each gone for a moment).
due_all() {
    local i name
    for (( i = 1; i <= 30; i++ )); do
        name=$(printf 'A%02d' "$i")
        profile "$name" "$1" am "$([[ $(( i % 2 )) == 0 ]] && echo "$APPDIR/Sample1.mp3" ||
            echo "$BATS_FILE_TMPDIR/tone.wav")" Everyday 0 "Note $i"
        mv "$APPDIR/Profiles/$name.wkp" "$APPDIR/Profiles/.$i"
    done
    for (( i = 1; i <= 30; i++ )); do mv "$APPDIR/Profiles/.$i" "$APPDIR/Profiles/$(printf 'A%02d' "$i").wkp"; done
}

@test "thirty alarms due in one second, three times over: the window rings and answers every time" {
    due_all 07:30:00
    index $(printf 'A%02d ' {1..30})
    start_by_clock "2026-12-09 07:29:42"
    click "$APP" lstSaved 30 8
    xdotool key --delay 40 $(printf 'Home ctrl+a %.0s' {1..30})
    shows "$APP" 'lstActive \[("A[0-9]{2} \(07:30:00 am\)", ){29}"A30 \(07:30:00 am\)"\]' 20
    for minute in 30 31 32; do
        if (( minute > 30 )); then
            set_clock "2026-12-09 07:$(( minute - 1 )):55"
            shows "$APP" '^  QLabel lblTime_2 "5[5-9]"' 5   # the program has seen the jump
            due_all "07:$minute:00"
        fi
        shows "$APP" "^window [^ ]+ frmAlarm \"Alarm - 07:$minute:0[0-9] am\"" 20
        # The title clock moves on: the window's thread is not stuck.
        shows "$APP" "^window [^ ]+ frmAlarm \"Alarm - 07:$minute:(0[2-9]|1[0-9]) am\"" 10
        shows "$APP" '^  QLabel lblNote "Note 1\\r\\nNote 2\\r\\n.*Note 30"'
        loud
        keys "$(alarm_window)" Escape
        gone "$APP" "$ringing"
        silent
    done
    kill -TERM "$APP"
    ended "$APP"
    [ "$STATUS" -eq 0 ]
}
