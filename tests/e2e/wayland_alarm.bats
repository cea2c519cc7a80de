#!/usr/bin/env bats
# An alarm that falls due while another program is full screen cannot take the
# focus on Wayland: it says so with a critical, resident notification whose
# Snooze and Dismiss answer the alarm.
load wayland

ringing='^window [^ ]+ frmAlarm '

# ring_over_fullscreen: the Wake alarm rings while another window is full screen;
# sets NOTE to the id of the notification mako shows for it.
ring_over_fullscreen() {
    profile Wake 07:30:00 am "$APPDIR/Sample1.mp3" Everyday 0 "Up"
    index Wake
    start_by_clock "2026-12-09 07:00:00"
    arm "$APP" Wake
    (exec "$DAWNBELL_WL" QT_QPA_PLATFORM=wayland "$OTHER_APP") >"$E2E_DIR/other.log" 2>&1 &
    other=$!
    PIDS+=("$other")
    on_screen "$other" '^Bare window$' focused
    wl swaymsg "[pid=$other] fullscreen enable" >/dev/null
    on_screen "$other" '^Bare window$' fullscreen
    watch_notify
    set_clock "2026-12-09 07:29:58"
    shows "$APP" "$ringing" 15
    NOTE=$(shown_note Wake)
    notified '.[3] + .[4] | test("Wake")'
    notified '(.[5] | [range(0; length; 2) as $i | {(.[$i]): .[$i + 1]}] | add | .snooze == "Snooze" and .dismiss == "Dismiss")
        and .[6].urgency.data == 2 and .[6].resident.data == true'
    loud
}

@test "Snooze on the notification silences an alarm that rang behind a full-screen window" {
    ring_over_fullscreen
    wl makoctl invoke -n "$NOTE" snooze
    shows "$APP" '^  QLabel lblSnooze "00:0(5:00|4:5[0-9])"' 3
    silent
    wait_for 5 not note_id Wake       # answered: no buttons left that answer nothing
}

@test "Dismiss on the notification closes the alarm window" {
    ring_over_fullscreen
    wl makoctl invoke -n "$NOTE" dismiss
    gone "$APP" "$ringing"
    silent
    wait_for 5 not note_id Wake
}
