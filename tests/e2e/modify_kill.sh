#!/usr/bin/env bash
# A profile open in the editor for modification survives the program being
# killed: the next start lists it again with its file exactly as it was.
source "$(dirname "$0")/lib.sh"
e2e_setup

write_profile Gym 06:15:00 am "$APPDIR/Sample1.mp3" "Monday, Thursday, " 1 $'Shoes\n\nand a towel'
write_profile Zulu 11:05:00 pm "" Everyday 0 ""
index_profiles Gym Zulu
profiles=$APPDIR/Profiles
cp -p "$profiles/Gym.wkp" "$E2E_DIR/Gym.orig"

start_alone start_app
first=$APP_PID
check "the program lists both profiles" wait_state "$first" '^  [^ ]+ lstSaved \["Gym", "Zulu"\]' 10
click_widget "$first" lstSaved 30 8
wait_state "$first" 'lstSaved \["Gym"\*'
key_to "$MAIN_WIN" ctrl+m
check "Ctrl+M opens Gym in the editor for modification" \
    eval 'wait_state "$first" "^window [^ ]+ frmProfile \"Modify a Profile\"" 5 && wait_state "$first" "^  QLineEdit [^ ]+ \"Gym\""'
check "meanwhile Profiles/Gym.wkp does not exist" test ! -e "$profiles/Gym.wkp"
check "and Gym is out of the profile list" wait_state "$first" '^  [^ ]+ lstSaved \["Zulu"\]'
# Unsaved edits must not reach the file.
editor=$(wait_window --pid "$first" "Modify a Profile")
key_to "$editor" ctrl+a x y z
check "the name is edited in the editor, unsaved" wait_state "$first" '^  QLineEdit [^ ]+ "xyz"$'

{ kill -KILL "$first"; wait_exit "$first" 5; } 2>/dev/null
check "SIGKILL ends the program" test "$EXIT_CODE" = 137

start_alone start_app
status=$?
second=$APP_PID
check "the killed copy does not block the next start" eval '(( status == 0 )) && ! is_dialog "$MAIN_WIN"'
check "the next start lists Gym again" wait_state "$second" '^  [^ ]+ lstSaved \["Gym", "Zulu"\]' 10
check "its file is byte for byte the original" cmp "$E2E_DIR/Gym.orig" "$profiles/Gym.wkp"
check "the recovery folder Profiles/.pending is gone" test ! -e "$profiles/.pending"
check "Gym is back in the stored profile index" \
    grep -qE '^Profile[0-9]+="?Gym"?\r?$' "$XDG_CONFIG_HOME/dawnbell/dawnbell.conf"

finish
