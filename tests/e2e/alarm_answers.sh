#!/usr/bin/env bash
# The answers to a ringing alarm and how it sounds: full volume at once, or rising
# from quiet; Snooze silences it and counts down; Disable deactivates it; Escape
# dismisses it and leaves it active. Without a sound server it still rings, silently.
source "$(dirname "$0")/lib.sh"
e2e_setup

# A steady tone: its loudness in a recording depends on the volume alone.
tone=$E2E_DIR/tone.wav
sox -q -n -b 16 -r 44100 -c 2 "$tone" synth 4 sine 440 vol 0.5
# 2026-12-09 is a Wednesday.
write_profile Tone 07:30:00 am "$tone" "Wednesday, " 0 "Steady"
write_profile Rise 07:30:25 am "$tone" "Monday, Wednesday, " 1 "Slowly"
index_profiles Tone Rise

alarm_line='^window [^ ]+ frmAlarm '
main_enabled='^window [^ ]+ frmMain "Dawnbell"( active)?$'

# activate ROW: selects that row of the profile list (1 or 2) and clicks Activate.
activate() {
    click_widget "$app" lstSaved 30 8
    (( $1 == 2 )) && key_to "$MAIN_WIN" Down
    wait_state "$app" "lstSaved \[.*\"$2\"\*" && click_widget "$app" cmdAlarm
}

start_alone start_app_at "2026-12-09 07:29:50"
app=$APP_PID
check "the program starts with its main window" test -n "$MAIN_WIN"
activate 2 Tone
check "Tone is activated through the window" wait_state "$app" '^  [^ ]+ lstActive \["Tone \(07:30:00 am\)"\*?\]'

# --- Tone, full volume: Snooze, then Disable ---
check "at 07:30:00 the alarm window opens" wait_state "$app" "$alarm_line" 20
check "name and time blink while it rings" \
    eval 'wait_no_state "$app" "lblAlarm \"Tone\"" 3 && wait_state "$app" "lblAlarm \"Tone\"" 3'
if sound_available; then
    tone_rms=$(record_rms 1.5)
    check "without rising volume it is loud at once (RMS $tone_rms)" loud "$tone_rms"
fi
alarm=$(xdotool search --all --onlyvisible --pid "$app" --name '^Alarm' | head -n 1)
key_to "$alarm" space
check "Space shows the countdown 00:05:00 / 00:04:59" \
    wait_state "$app" '^  QLabel lblSnooze "00:0(5:00|4:59)"' 3
if sound_available; then
    rms=$(record_rms 1)
    check "Space silences the alarm at once (RMS $rms)" silent "$rms"
fi
check "the countdown counts down" wait_state "$app" '^  QLabel lblSnooze "00:04:5[0-8]"' 5
check "the countdown is drawn in red" eval '(( $(red_pixels "$app" lblSnooze) > 30 ))'
check "the name stays shown, steadily, while snoozed" steady_state "$app" '^  QLabel lblAlarm "Tone"$' 2
check "so does the time" steady_state "$app" '^  QLabel lblTime "07:30:00 am"$' 1
check "the window stays open while snoozed" wait_state "$app" "$alarm_line" 0
key_to "$alarm" space
check "Space while snoozed starts the countdown again" \
    wait_state "$app" '^  QLabel lblSnooze "00:0(5:00|4:59)"' 3

click_widget "$app" cmdDeactivate
check "Disable closes the alarm window" wait_no_state "$app" "$alarm_line" 5
check "Disable puts Tone back into the profile list" wait_state "$app" '^  [^ ]+ lstSaved \["Rise", "Tone"\*?\]'
check "and empties the active alarms" wait_state "$app" '^  [^ ]+ lstActive \[\]'
check "the main window is enabled again" wait_state "$app" "$main_enabled"
if sound_available; then
    rms=$(record_rms 1)
    check "nothing plays after Disable (RMS $rms)" silent "$rms"
fi

# --- Rise, rising volume: Dismiss ---
activate 1 Rise
check "Rise is activated through the window" wait_state "$app" '^  [^ ]+ lstActive \["Rise \(07:30:25 am\)"\*?\]'
check "at 07:30:25 the alarm window opens for Rise" \
    eval 'wait_state "$app" "$alarm_line" 30 && wait_state "$app" "lblAlarm \"Rise\"" 2'
opened=${EPOCHREALTIME/./}
if sound_available; then
    early=$(record_rms 1.5)
    sleep "$(awk -v o="$opened" -v n="${EPOCHREALTIME/./}" 'BEGIN {s = 12 - (n - o) / 1e6; print (s > 0 ? s : 0)}')"
    late=$(record_rms 1.5)
    check "with rising volume it starts audible but far quieter than Tone at once (RMS $early, Tone $tone_rms)" \
        eval '! silent "$early" && louder "$tone_rms" "$early" 3'
    check "and is much louder 12 s later (RMS $late > 3 x $early)" louder "$late" "$early" 3
fi
alarm=$(xdotool search --all --onlyvisible --pid "$app" --name '^Alarm' | head -n 1)
key_to "$alarm" Escape
check "Escape closes the alarm window" wait_no_state "$app" "$alarm_line" 5
if sound_available; then
    rms=$(record_rms 1)
    check "and the sound stops (RMS $rms)" silent "$rms"
fi
check "the main window is enabled again after Escape" wait_state "$app" "$main_enabled"
check "Rise is still among the active alarms" wait_state "$app" '^  [^ ]+ lstActive \["Rise \(07:30:25 am\)"\*?\]'
kill -TERM "$app"
wait_exit "$app" 5

# --- No sound server ---
write_profile Quiet 07:30:00 am "$tone" Everyday 1 $'Stretch\nthen run'
index_profiles Quiet
start_alone start_app_at "2026-12-09 07:29:54" PULSE_SERVER=unix:/nonexistent
app=$APP_PID
activate 1 Quiet
wait_state "$app" '^  [^ ]+ lstActive \["Quiet \(07:30:00 am\)"\*?\]'
check "without a sound server the alarm window still opens" wait_state "$app" "$alarm_line" 20
check "it shows the note" wait_state "$app" '^  QLabel lblNote "Stretch\\r\\nthen run"$'
check "the name blinks" \
    eval 'wait_no_state "$app" "lblAlarm \"Quiet\"" 3 && wait_state "$app" "lblAlarm \"Quiet\"" 3'
check "no message box appears" \
    eval '! wait_state "$app" "^window [^ ]+ [^ ]+ .*modal|QMessageBox" 3'
check "its title clock runs" wait_state "$app" "${alarm_line}\"Alarm - 07:30:0[5-9] am\"" 10
alarm=$(xdotool search --all --onlyvisible --pid "$app" --name '^Alarm' | head -n 1)
key_to "$alarm" Escape
check "Escape dismisses it" wait_no_state "$app" "$alarm_line" 5

finish
