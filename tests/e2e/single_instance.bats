#!/usr/bin/env bats
# One copy runs at a time: a second one says so, and the first one's window comes
# back from the tray. The lock goes with its holder, whether it ends on SIGTERM or
# is killed.
load helpers

is_dialog() { xprop -id "$1" _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_DIALOG; }

@test "a second copy is refused and brings the first back; SIGTERM and SIGKILL free the lock" {
    start_main
    first=$APP main=$MAIN
    not is_dialog "$main"
    close_box "$main"
    hidden "$main"
    wait_tray

    start
    mapped "$main"
    tray_gone
    box=$(window "$APP" Dawnbell)
    is_dialog "$box"
    shows "$APP" '^  QLabel [^ ]+ "An instance of Dawnbell is already running\.(\\r)?\\n(\\r)?\\nIf you do not see any open windows, check your system tray for the Dawnbell icon\."$'
    [ "$(state "$APP" | grep -cE '^  Q[A-Za-z]*Button ')" -eq 1 ]
    shows "$APP" '^  Q[A-Za-z]*Button [^ ]+ "OK"'
    keys "$box" Return
    ended "$APP"
    [ "$STATUS" -eq 0 ]
    mapped "$main"
    # Other settings, the same profiles: still refused.
    start XDG_CONFIG_HOME="$E2E_DIR/other-config"
    keys "$(window "$APP" Dawnbell)" Return
    ended "$APP"
    not grep -q '^window [^ ]+ frmMain ' "$E2E_DIR/state.$APP"

    kill -TERM "$first"
    ended "$first"
    [ "$STATUS" -eq 0 ]
    start_main
    not is_dialog "$MAIN"

    kill -KILL "$APP"
    ended "$APP"
    start_main
    not is_dialog "$MAIN"
}
