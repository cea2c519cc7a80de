#!/usr/bin/env bats
# One scripted session, recorded as the program's windows show it after each step
# (texts, controls, Tab order, places on the screen) and compared with
# session.expected: any change a user could see or reach shows as a diff. The
# recording goes to $DAWNBELL_SESSION_OUT when set (scripts/probe-session), to
# compare two trees with each other.
load helpers

expected=$BATS_TEST_DIRNAME/session.expected
main='^window [^ ]+ frmMain "Dawnbell" active$'
busy='^window [^ ]+ frmMain "Dawnbell" disabled$'

# record STEP REGEX...: waits for one snapshot in which every REGEX matches a line
# (!REGEX: none does) and appends it under the step's name, without class names
# and without what differs from run to run: the folder of the copy, the clock's
# digits and the snooze countdown. On a timeout the last snapshot goes in too.
record() {
    local step=$1 status=0; shift
    wait_for 10 snapshot_with "$@" || status=$?
    { echo "## $step"; (( status == 0 )) || echo "## timed out waiting for: $*"
      sed -E -e 's/^(window |  )[^ ]+ /\1/' -e 's/^(window frmAlarm "Alarm - )[0-9]{2}:[0-9]{2}:[0-9]{2}/\1##:##:##/' \
          -e 's/^(  lblTime_[0-2] ")[0-9]{2}/\1##/' -e 's/^(  lblSnooze ")[0-9:]+/\1##:##:##/' \
          <<<"${SNAP//"$APPDIR"/<app>}"; } >>"$OUT"
    return "$status"
}
snapshot_with() {
    local re
    SNAP=$(state "$APP")
    for re; do
        if [[ $re == !* ]]; then not grep -qE -- "${re#!}" <<<"$SNAP"; else grep -qE -- "$re" <<<"$SNAP"; fi || return 1
    done
}

@test "a scripted session shows the same windows as the recording" {
    OUT=${DAWNBELL_SESSION_OUT:-$BATS_TEST_TMPDIR/session.txt}
    : >"$OUT"
    profile Gym 06:15:00 am "$APPDIR/Sample2.mp3" "Monday, Thursday, " 1 $'Shoes\n\nand a towel'
    profile Zulu 11:05:00 pm "" Everyday 0 ""
    index Gym Zulu
    # The alarm is due at 07:30 on Wednesday; the clock is put just before it once all is set.
    start_by_clock "2026-12-09 07:20:00"
    MAIN=$(window "$APP" Dawnbell)
    record start "$main" '!lblInit' '^focus lstSaved$'

    click "$APP" cmdProfile
    record "new profile" "$busy" '^window [^ ]+ frmProfile "Create a New Profile" active$' '^focus txtName$'
    click "$APP" cmdCancel
    record "new profile cancelled" "$main" '!frmProfile' '^focus lstSaved$'

    click "$APP" cmdProfile
    editor=$(window "$APP" "Create a New Profile")
    shows "$APP" '^focus txtName$'
    keys "$editor" W a k e Tab 0 7 Tab 3 0
    click "$APP" txtAlarm
    keys "$editor" ctrl+a
    xdotool type "$APPDIR/Sample2.mp3"
    click "$APP" chkAll
    click "$APP" txtNote
    keys "$editor" U p
    record "new profile filled" '^  [^ ]+ txtName "Wake"$' '^  [^ ]+ txtTime2 "30"$' \
        '^  [^ ]+ txtAlarm ".*/Sample2.mp3"$' '^  [^ ]+ chkDays_6 "Sun" checked disabled$' '"198/200"' '^focus txtNote$'
    click "$APP" cmdSave
    record saved "$main" '!frmProfile' 'lstSaved \["Gym", "Wake", "Zulu"\]'

    activate "$APP" Wake 2
    record activated "$main" 'lstSaved \["Gym", "Zulu"\]' 'lstActive \["Wake \(07:30:00 am\)"\]' '^focus cmdAlarm$'

    set_clock "2026-12-09 07:29:57"
    shows "$APP" '^window [^ ]+ frmAlarm ' 15
    record ringing "$busy" '^window [^ ]+ frmAlarm "Alarm - .*" active$' 'lblAlarm "Wake"' 'lblTime "07:30:00 am"' \
        '^focus picBackground$'
    click "$APP" cmdSnooze
    record snoozed '^  [^ ]+ lblSnooze "' 'lblAlarm "Wake"' 'lblTime "07:30:00 am"'
    click "$APP" cmdDismiss
    record dismissed "$main" '!frmAlarm' 'lstActive \["Wake \(07:30:00 am\)"\]'

    click "$APP" lstSaved 30 8
    shows "$APP" 'lstSaved \["Gym"\*'
    keys "$MAIN" ctrl+m
    record "modify" "$busy" '^window [^ ]+ frmProfile "Modify a Profile" active$' 'lstSaved \["Zulu"\]' \
        '^  [^ ]+ txtName "Gym"$' 'chkVolume "Gradually Increase volume" checked' '^focus txtName$'
    click "$APP" cmdCancel
    record "modify cancelled" "$main" '!frmProfile' 'lstSaved \["Gym", "Zulu"\]'

    click "$APP" lstSaved 30 8
    xdotool key Down
    shows "$APP" 'lstSaved \["Gym", "Zulu"\*\]'
    keys "$MAIN" ctrl+e
    box=$(window "$APP" Confirmation)
    record "delete asked" '^window [^ ]+ messageBox "Confirmation" active modal$' '^focus '
    keys "$box" alt+y
    record deleted "$main" '!messageBox' 'lstSaved \["Gym"\]'

    close_box "$MAIN"
    hidden "$MAIN"
    tray_menu "$APP"
    record "tray menu" '^menu mnuTray ' '!frmMain'
    menu_entry "$APP" 10
    mapped "$MAIN"
    record "opened from the tray" "$main" '!mnuTray'

    click "$APP" mnuAbout
    record about '^window [^ ]+ frmAbout "About" active$' '^focus cmdClose$'
    click "$APP" cmdClose
    record "about closed" "$main" '!frmAbout'
    click "$APP" cmdExit
    ended "$APP"
    [ "$STATUS" -eq 0 ]
    diff -u "$expected" "$OUT"
}
