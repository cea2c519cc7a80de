#!/usr/bin/env bats
# The alarm's sound comes out whatever happens to its file or to the sound server:
# a deleted file rings the bundled sample, and a sound server that restarts while
# the alarm rings is heard again. (tst_mediaplayer covers each kind of bad file.)
load helpers

ringing='^window [^ ]+ frmAlarm '

# A test that failed while the sound server was away brings it back for the next.
eval "helpers_$(declare -f teardown)"
teardown() {
    if [[ ${DAWNBELL_TEST_SOUND:-} == 1 ]] && ! pactl info >/dev/null 2>&1; then
        source "$BATS_TEST_DIRNAME/../../scripts/services"
        services_pulse_up
    fi
    helpers_teardown
}

setup_file() {
    # Long enough that only a fresh pass, not the next one, can bring the sound back.
    sox -q -n -b 16 -r 44100 -c 2 "$BATS_FILE_TMPDIR/long.wav" synth 120 sine 440 vol 0.5
}

@test "an alarm whose sound file was deleted rings the sample sound" {
    ring_at Gone "$E2E_DIR/deleted.wav" Deleted
    shows "$APP" '^  QLabel lblNotice "Sound file unplayable: the sample sound rings instead\."'
    wait_for 10 loud
    keys "$(alarm_window)" Escape
    gone "$APP" "$ringing"
    silent
}

@test "once a sound was heard, a damaged file still rings the sample sound" {
    echo "not a sound at all" >"$E2E_DIR/damaged.wav"
    profile First 07:30:00 am "$BATS_FILE_TMPDIR/long.wav" Everyday 0 One
    profile Second 07:31:00 am "$E2E_DIR/damaged.wav" Everyday 0 Two
    index First Second
    start_by_clock "2026-12-09 07:20:00"
    activate "$APP" First 1 && activate "$APP" Second 1
    set_clock "2026-12-09 07:29:58"
    shows "$APP" '^  QLabel lblAlarm "First"' 15
    wait_for 10 loud
    keys "$(alarm_window)" Escape
    gone "$APP" "$ringing"
    set_clock "2026-12-09 07:30:58"
    shows "$APP" '^  QLabel lblNotice "Sound file unplayable: the sample sound rings instead\."' 15
    wait_for 10 loud
}

@test "the sound server restarts while an alarm rings: the sound comes back, and SIGTERM still ends it" {
    [[ ${DAWNBELL_TEST_SOUND:-} == 1 ]] || skip "needs the sound server of scripts/services"
    source "$BATS_TEST_DIRNAME/../../scripts/services"
    ring_at Long "$BATS_FILE_TMPDIR/long.wav" Restart
    wait_for 10 loud
    services_restart_pulse
    wait_for 15 loud
    shows "$APP" "$ringing"
    # The sound thread lets the program end on SIGTERM while it rings.
    kill -TERM "$APP"
    ended "$APP"
    [ "$STATUS" -eq 0 ]
    silent
}

@test "an alarm that starts while the sound server is away is heard once the server is back" {
    [[ ${DAWNBELL_TEST_SOUND:-} == 1 ]] || skip "needs the sound server of scripts/services"
    source "$BATS_TEST_DIRNAME/../../scripts/services"
    profile Long 07:30:00 am "$BATS_FILE_TMPDIR/long.wav" Everyday 0 Away
    index Long
    services_pulse_down
    start_at "2026-12-09 07:29:55"
    activate "$APP" Long 1
    shows "$APP" "$ringing" 15
    services_pulse_up
    wait_for 15 loud
}
