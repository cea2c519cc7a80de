# Loaded by the Wayland journeys (tests/e2e/wayland_*.bats), on top of helpers.bash.
# They drive the program on the headless sway of scripts/services, as that
# desktop's user and in its session: natively or through Xwayland, as ctest's
# WL_PLATFORM (wayland or xcb) says; each file runs once for each. Without that
# desktop every test is skipped. sway's tree, the session bus and mako tell what
# X would: which windows are up, the tray item, the notifications.
load helpers

setup() {
    [[ ${DAWNBELL_WAYLAND:-} == 1 ]] || skip "needs the Wayland desktop of scripts/services"
    private_copy
    E2E_RUN=("$DAWNBELL_WL" QT_QPA_PLATFORM="$WL_PLATFORM") E2E_OWNER=$DAWNBELL_WL_UID E2E_SOUND=$DAWNBELL_WL_SOUND
    # The build may lie where that user cannot go (a clone in root's home).
    cp "$DAWNBELL_E2E_PROBE_LIB" "$DAWNBELL_OTHER_APP" "$E2E_DIR"/
    DAWNBELL_E2E_PROBE_LIB=$E2E_DIR/${DAWNBELL_E2E_PROBE_LIB##*/} OTHER_APP=$E2E_DIR/${DAWNBELL_OTHER_APP##*/}
}
teardown() { end_copies; }

wl() { "$DAWNBELL_WL" "$@"; }

# The windows sway shows, a line each: pid, visible, focused, full screen (0 or 1), title.
windows() {
    wl swaymsg -t get_tree | jq -r '.. | objects | select(.pid? != null and (.type == "con" or .type == "floating_con"))
        | [.pid, .visible, .focused, .fullscreen_mode, .name] | @tsv'
}
# window_is PID TITLE-REGEX [focused|fullscreen]: whether sway shows such a window.
window_is() {
    windows | awk -F'\t' -v p="$1" -v t="$2" -v s="${3:-}" '$1 == p && $5 ~ t && $2 == "true" &&
        (s == "" || (s == "focused" && $3 == "true") || (s == "fullscreen" && $4 == 1)) {f = 1} END {exit !f}'
}
on_screen() { wait_for 10 window_is "$@"; }
off_screen() { wait_for 10 not window_is "$@"; }
# close_window PID: what the title bar's close box does (sway asks the window to close).
close_window() { wl swaymsg "[pid=$1] kill" >/dev/null; }

# arm PID NAME: activates the only saved profile's alarm from the keyboard (wtype; the
# list has the focus once the window has). A key is now and then lost: each key is
# pressed again until its effect shows (a second Space leaves the row selected).
arm() {
    local _
    shows "$1" '^focus lstSaved$' 10 || return 1
    for _ in 1 2 3; do wl wtype -k space && shows "$1" "lstSaved \[\"$2\"\*\]" 5 && break; done
    for _ in 1 2 3; do wl wtype -M ctrl a -m ctrl && shows "$1" "lstActive \[\"$2 \(" 5 && return 0; done
    return 1
}

# The session bus, as the desktop's user.
bus() { wl busctl --user "$@"; }
# item_of PID: "bus-name object-path" of the process's StatusNotifierItem, while the
# watcher lists it. registered PID: waits for it and sets ITEM to that pair.
item_of() {
    local entry
    for entry in $(bus get-property -j org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
            org.kde.StatusNotifierWatcher RegisteredStatusNotifierItems | jq -r '.data[]'); do
        [[ $(bus call -j org.freedesktop.DBus /org/freedesktop/DBus org.freedesktop.DBus \
                GetConnectionUnixProcessID s "${entry%%/*}" | jq '.data[0]') == "$1" ]] &&
            echo "${entry%%/*} /${entry#*/}" && return 0
    done
    return 1
}
registered() { wait_for 10 item_of "$1" && read -ra ITEM < <(item_of "$1"); }
# item PROPERTY: the item's property, as JSON.
item() { bus get-property -j "${ITEM[@]}" org.kde.StatusNotifierItem "$1" | jq -c .data; }

# watch_notify: records every Notify call on the session bus in $E2E_DIR/notify.json
# from now on, once the recorder is listening.
watch_notify() {
    (exec "$DAWNBELL_WL" busctl --user monitor --json=short \
        --match "interface='org.freedesktop.Notifications',member='Notify'") >"$E2E_DIR/notify.json" 2>&1 &
    PIDS+=("$!")
    wait_for 5 grep -q '^Monitoring' "$E2E_DIR/notify.json"
}
# notified JQ-CONDITION: whether a recorded Notify call's arguments (app, id, icon,
# summary, body, actions, hints, timeout: .[0] to .[7]) meet the condition.
notified() { grep '^{' "$E2E_DIR/notify.json" | jq -e -s "map(.payload.data | select($1)) | length > 0"; }
# shown_note REGEX: the id of the notification mako shows whose summary or body
# matches, once it does.
note_id() {
    wl makoctl list | jq -e --arg re "$1" \
        '[.data[0][] | select((.summary.data + "\n" + .body.data) | test($re)) | .id.data][0] // empty'
}
shown_note() { wait_for 15 note_id "$1" && note_id "$1"; }
