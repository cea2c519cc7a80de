#!/usr/bin/env bats
# A profile open in the editor for modification survives the program being
# killed: the next start lists it again, its file exactly as it was.
load helpers

@test "a profile being modified survives SIGKILL byte for byte" {
    profile Gym 06:15:00 am "$APPDIR/Sample1.mp3" "Monday, Thursday, " 1 $'Shoes\n\nand a towel'
    profile Zulu 11:05:00 pm "" Everyday 0 ""
    index Gym Zulu
    cp -p "$APPDIR/Profiles/Gym.wkp" "$E2E_DIR/Gym.orig"
    start_main
    shows "$APP" 'lstSaved \["Gym", "Zulu"\]'
    click "$APP" lstSaved 30 8
    shows "$APP" 'lstSaved \["Gym"\*'
    keys "$MAIN" ctrl+m
    editor=$(window "$APP" "Modify a Profile")
    shows "$APP" 'lstSaved \["Zulu"\]'
    keys "$editor" ctrl+a x y z                  # unsaved edits must not reach the file
    shows "$APP" '^  QLineEdit [^ ]+ "xyz"$'

    kill -KILL "$APP"
    ended "$APP"
    start_main
    shows "$APP" 'lstSaved \["Gym", "Zulu"\]'
    cmp "$E2E_DIR/Gym.orig" "$APPDIR/Profiles/Gym.wkp"
    grep -qE '^Profile[0-9]+="?Gym"?\r?$' "$XDG_CONFIG_HOME/dawnbell/dawnbell.conf"
}
