# Loaded by the end-to-end tests (tests/e2e/*.bats). They drive the real program
# on the X server, tray and sound server that scripts/services starts; without it
# (DAWNBELL_E2E unset) every test is skipped. ctest passes DAWNBELL_BIN_DIR and
# DAWNBELL_E2E_PROBE_LIB (probe.cpp, preloaded to report the texts on the windows).
#
# Every wait is for something the program shows or does, with a deadline.

FAKETIME_LIB=$(dpkg -L libfaketime 2>/dev/null | grep -m 1 '/libfaketime\.so\.1$')

setup() {
    [[ ${DAWNBELL_E2E:-} == 1 ]] || skip "needs the X server and tray of scripts/services"
    private_copy
}

# private_copy: the test's own folder with a copy of the program, its home and settings.
# E2E_RUN (a command prefix) and E2E_OWNER (a user id) say how and as whom it runs;
# E2E_SOUND, whether its sound server's null sink can be recorded.
private_copy() {
    E2E_DIR=$(mktemp -d "${DAWNBELL_SERVICES_DIR:-/tmp}/e2e.XXXXXX")
    # A private copy of the program: its Profiles folder beside it starts empty.
    APPDIR=$E2E_DIR/app
    mkdir -p "$APPDIR"
    find "$DAWNBELL_BIN_DIR" -maxdepth 1 -type f -exec cp -p {} "$APPDIR"/ \;
    export HOME=$E2E_DIR/home XDG_CONFIG_HOME=$E2E_DIR/config XDG_DATA_HOME=$E2E_DIR/data
    mkdir -p "$HOME" "$XDG_CONFIG_HOME"
    unset QT_QPA_PLATFORM
    PIDS=() E2E_RUN=() E2E_OWNER="" E2E_SOUND=${DAWNBELL_TEST_SOUND:-0}
}

teardown() {
    xdotool key Escape 2>/dev/null   # a menu a failed test left open
    end_copies
}

# end_copies: kills what the test started; shows the program's logs when it failed.
end_copies() {
    local pid
    for pid in "${PIDS[@]}"; do kill -KILL "$pid" 2>/dev/null; done
    [[ -n ${BATS_TEST_COMPLETED:-} || -z ${E2E_DIR:-} ]] || tail -n 40 "$E2E_DIR"/app-*.log "$E2E_DIR"/state.*
    rm -rf "${E2E_DIR:-/nonexistent}"
}

# not COMMAND...: fails when the command succeeds (a bare `! command` never fails a test).
not() { ! "$@"; }

# wait_for SECONDS COMMAND...: until the command succeeds; fails at the deadline.
wait_for() {
    local end=$(( EPOCHSECONDS + $1 )); shift
    until "$@" >/dev/null 2>&1; do
        (( EPOCHSECONDS < end )) || return 1
        sleep 0.05
    done
}

# start [VAR=value...] [ARG...]: starts the copy from another folder (it must find its files
# by its own location) and sets APP. start_at "2026-12-09 07:29:55" [...] starts
# it with the wall clock at that local time; GStreamer plays nothing with a faked
# monotonic clock, so that one stays real.
start() {
    local vars=()
    while (( $# )) && [[ $1 == *=* ]]; do vars+=("$1"); shift; done
    [[ -z $E2E_OWNER ]] || chown -R "$E2E_OWNER:$E2E_OWNER" "$E2E_DIR"
    (cd "$HOME" && exec "${E2E_RUN[@]}" env HOME="$HOME" LD_PRELOAD="$DAWNBELL_E2E_PROBE_LIB ${PRELOAD:-}" \
        DAWNBELL_E2E_PROBE="$E2E_DIR/state" "${vars[@]}" "$APPDIR/dawnbell" "$@") \
        >"$E2E_DIR/app-${#PIDS[@]}.log" 2>&1 </dev/null &
    APP=$!
    PIDS+=("$APP")
}
start_at() {
    local when=$1; shift
    PRELOAD=$FAKETIME_LIB start FAKETIME="@$when" FAKETIME_DONT_FAKE_MONOTONIC=1 "$@"
}
# start_by_clock WHEN [...]: starts it with the wall clock at WHEN, which set_clock
# WHEN moves (the program reads it anew within a second): the test sets the scene
# before the alarm's time comes, however long that takes.
start_by_clock() {
    set_clock "$1"; shift
    PRELOAD=$FAKETIME_LIB start FAKETIME_TIMESTAMP_FILE="$E2E_DIR/clock" FAKETIME_CACHE_DURATION=1 \
        FAKETIME_DONT_FAKE_MONOTONIC=1 "$@"
}
set_clock() {
    echo "+$(( $(date -d "$1" +%s) - EPOCHSECONDS ))" >"$E2E_DIR/clock.new" && mv "$E2E_DIR/clock.new" "$E2E_DIR/clock"
}
# start_main [...]: start, then waits for the main window and sets MAIN.
start_main() { start "$@"; MAIN=$(window "$APP" Dawnbell); }

# window PID TITLE: the id of the process's visible window of that title, once shown.
window() { timeout 15 xdotool search --all --sync --onlyvisible --pid "$1" --name "^$2\$" | head -n 1; }
# The alarm window, once shown.
alarm_window() { timeout 15 xdotool search --all --sync --onlyvisible --pid "$APP" --name '^Alarm' | head -n 1; }
# ring_at NAME SOUND NOTE: a profile that rings at 07:30:00, active in a copy
# started a few seconds before; returns once its alarm window is up.
ring_at() {
    profile "$1" 07:30:00 am "$2" Everyday 0 "$3"
    index "$1"
    start_at "2026-12-09 07:29:55"
    activate "$APP" "$1" 1
    shows "$APP" '^window [^ ]+ frmAlarm ' 15
}
# mapped WINDOW / hidden WINDOW: until the window is shown / is not.
mapped() { wait_for 5 eval "xwininfo -id $1 | grep -q IsViewable"; }
hidden() { wait_for 5 eval "! xwininfo -id $1 | grep -q IsViewable"; }

# ended PID [SECONDS=5]: waits for the process to end and sets STATUS to its status.
ended() {
    timeout "${2:-5}" tail --pid="$1" -f /dev/null || return 1
    STATUS=0
    wait "$1" 2>/dev/null || STATUS=$?
}

# The program's report of its visible windows, texts, menus and tooltip (probe.cpp).
state() { cat "$E2E_DIR/state.$1" 2>/dev/null; }
# shows PID REGEX [SECONDS=5]: until a line of the report matches; gone: until none does.
shows() { wait_for "${3:-5}" grep -qE -- "$2" "$E2E_DIR/state.$1"; }
gone() { wait_for "${3:-5}" eval "! grep -qE -- \"\$2\" \"\$E2E_DIR/state.\$1\""; }

# click PID NAME [X Y]: clicks the named widget, in its middle or at X,Y inside it.
click() {
    local x y w h
    wait_for 5 grep -q "^at $2 " "$E2E_DIR/state.$1" || return 1
    read -r x y w h < <(state "$1" | awk -v n="$2" '$1 == "at" && $2 == n {print $3, $4, $5, $6; exit}')
    xdotool mousemove $(( x + ${3:-$(( w / 2 ))} )) $(( y + ${4:-$(( h / 2 ))} )) click 1
}

# keys WINDOW KEY...: activates the window and types (xdotool key names).
keys() { local w=$1; shift; xdotool windowactivate --sync "$w" key --clearmodifiers "$@"; }
# close_box WINDOW: what the title bar's close box does (openbox: WM_DELETE_WINDOW).
close_box() { keys "$1" alt+F4; }

# The program's icon docked in the tray (a small mapped window of its class), once
# there; tray_gone: once no icon is.
tray_icon() {
    local w
    for w in $(xdotool search --onlyvisible --classname '^dawnbell$' 2>/dev/null); do
        xwininfo -id "$w" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {exit !(w <= 64 && h <= 64)}' &&
            echo "$w" && return 0
    done
    return 1
}
wait_tray() { wait_for 5 tray_icon && tray_icon; }
tray_gone() { wait_for 5 eval '! tray_icon'; }
# on_tray XDOTOOL-ACTIONS...: moves the pointer onto the icon's middle, then acts.
on_tray() { xdotool mousemove --window "$(wait_tray)" 8 8 "$@"; }
# tray_menu PID: right-clicks the icon until its menu shows (a click that reaches
# the icon before Qt has embedded it is lost).
tray_menu() {
    local _
    for _ in 1 2 3 4 5; do
        on_tray click 3 && shows "$1" '^menu mnuTray ' 2 && return 0
    done
    return 1
}
# menu_entry PID DY: clicks the open tray menu DY pixels below its top, or above
# its bottom when DY is negative.
menu_entry() {
    local x y w h
    read -r x y w h < <(state "$1" | awk '$1 == "at" && $2 == "mnuTray" {print $3, $4, $5, $6}')
    xdotool mousemove $(( x + w / 2 )) $(( $2 > 0 ? y + $2 : y + h + $2 )) click 1
}

# Profiles beside the copy and the index in its settings. profile NAME TIME PERIOD
# SOUND DAYS RISING NOTE (a NOTE of several lines with LF); index NAME...
profile() {
    mkdir -p "$APPDIR/Profiles"
    printf '%s\r\n' "${@:1:6}" "${7//$'\n'/$'\r\n'}" >"$APPDIR/Profiles/$1.wkp"
}
index() {
    local i=0 name
    mkdir -p "$XDG_CONFIG_HOME/dawnbell"
    { echo "[Settings]"; echo "Counter=$#"
      for name; do echo "Profile$(( ++i ))=\"$name\""; done; } >"$XDG_CONFIG_HOME/dawnbell/dawnbell.conf"
}

# activate PID NAME ROW: selects that row (1, 2, ...) of the profile list and
# presses Activate.
activate() {
    click "$1" lstSaved 30 8 && { (( $3 == 1 )) || xdotool key --repeat $(( $3 - 1 )) Down; } &&
        shows "$1" "lstSaved \[.*\"$2\"\*" && click "$1" cmdAlarm && shows "$1" "lstActive \[.*\"$2 \("
}

# rms SECONDS: the RMS amplitude (0 to 1) of what plays into the null sink for that
# long. Silence records exactly 0; the samples and a 0.5 sine at full volume 0.3-0.4.
rms() {
    "${E2E_RUN[@]}" sox -q -t pulseaudio nullsink.monitor "$E2E_DIR/rec.wav" trim 0 "$1" &&
        sox "$E2E_DIR/rec.wav" -n stat 2>&1 | awk '/RMS +amplitude/ {print $3}'
}
loud() { [[ $E2E_SOUND != 1 ]] || awk -v r="$(rms "${1:-1}")" 'BEGIN {exit !(r > 0.01)}'; }
silent() { [[ $E2E_SOUND != 1 ]] || awk -v r="$(rms "${1:-1}")" 'BEGIN {exit !(r < 0.0001)}'; }
