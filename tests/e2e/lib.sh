# Helpers for the end-to-end tests; sourced by tests/e2e/*.sh (bash).
#
# The tests drive the real program on the X server, tray and sound server that
# scripts/test (scripts/services) starts. ctest passes DAWNBELL_BIN_DIR (the build's
# bin folder) and DAWNBELL_E2E_PROBE_LIB (probe.cpp, preloaded into the program to
# report the texts on its windows). Without DAWNBELL_E2E=1 every test exits 77,
# which ctest reports as skipped, so ctest still works offscreen.
#
# A test script:
#   source "$(dirname "$0")/lib.sh"
#   e2e_setup
#   start_app; main=$(wait_window --pid "$APP_PID" Dawnbell)
#   check "the main window is shown" test -n "$main"
#   finish

set -uo pipefail

E2E_PASSED=0
E2E_FAILED=0
E2E_PIDS=()
E2E_DIR=""
E2E_RUNS=0
APPDIR=""
APP_PID=""
EXIT_CODE=""

# Debian's libfaketime. The program is started with LD_PRELOAD and FAKETIME itself
# rather than under faketime(1), which would stay in between as its parent: this way
# $APP_PID is the program, and the signals it gets and its exit code are its own.
E2E_FAKETIME_LIB=$(dpkg -L libfaketime 2>/dev/null | grep -m 1 '/libfaketime\.so\.1$')

_e2e_say() { echo "e2e: $*" >&2; }

e2e_setup() {
    if [[ ${DAWNBELL_E2E:-} != 1 ]]; then
        echo "SKIP: needs the X server and tray that scripts/test starts (DAWNBELL_E2E=1)"
        exit 77
    fi
    : "${DAWNBELL_BIN_DIR:?set by ctest: the folder of the built dawnbell}"
    : "${DAWNBELL_E2E_PROBE_LIB:?set by ctest: the built e2e_probe library}"
    [[ -x $DAWNBELL_BIN_DIR/dawnbell ]] || { echo "no program at $DAWNBELL_BIN_DIR/dawnbell"; exit 1; }
    xdpyinfo >/dev/null 2>&1 || { echo "DAWNBELL_E2E=1 but no X server at DISPLAY=${DISPLAY:-}"; exit 1; }

    # Inside the services' folder when there is one: it goes when they stop, even
    # if this script is killed before its own cleanup.
    E2E_DIR=$(mktemp -d "${DAWNBELL_SERVICES_DIR:-${TMPDIR:-/tmp}}/dawnbell-e2e.XXXXXX") || exit 1
    trap _e2e_cleanup EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM

    # A private copy of the program, so that its Profiles folder (beside the
    # executable) starts empty. Files only: a Profiles folder left in the build's
    # bin by manual runs stays behind.
    APPDIR=$E2E_DIR/app
    mkdir -p "$APPDIR"
    find "$DAWNBELL_BIN_DIR" -maxdepth 1 -type f -exec cp -p {} "$APPDIR"/ \;

    export HOME=$E2E_DIR/home
    export XDG_CONFIG_HOME=$E2E_DIR/config XDG_DATA_HOME=$E2E_DIR/data XDG_CACHE_HOME=$E2E_DIR/cache
    # Qt keeps runtime files (a single-instance lock, say) here; the sound server
    # stays reachable through the absolute PULSE_SERVER.
    export XDG_RUNTIME_DIR=$E2E_DIR/runtime
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
    mkdir -m 0700 "$XDG_RUNTIME_DIR"
    export DBUS_SESSION_BUS_ADDRESS=disabled:
    unset QT_QPA_PLATFORM
}

_e2e_cleanup() {
    local pid
    for pid in "${E2E_PIDS[@]}"; do kill -TERM "$pid" 2>/dev/null; done
    for pid in "${E2E_PIDS[@]}"; do
        _e2e_ended "$pid" 3 || kill -KILL "$pid" 2>/dev/null
    done
    # Close a menu a failed test may have left open on the shared desktop.
    xdotool key Escape 2>/dev/null
    if [[ ${E2E_KEEP:-0} == 1 ]]; then
        _e2e_say "kept $E2E_DIR"
    elif [[ -n $E2E_DIR ]]; then
        rm -rf "$E2E_DIR"
    fi
}

# Waiting: _e2e_deadline SECONDS gives a moment in microseconds, _e2e_before tells
# whether it is still ahead. Loops count time, not tries: one X query can take long.
_e2e_deadline() { echo $(( ${EPOCHREALTIME/./} + ${1%.*} * 1000000 )); }
_e2e_before() { (( ${EPOCHREALTIME/./} < $1 )); }

# --- Processes ---------------------------------------------------------------

# _e2e_ended PID SECONDS: whether the process has ended (gone, or a zombie not yet
# reaped), waiting up to SECONDS.
_e2e_ended() {
    local pid=$1 end state
    end=$(_e2e_deadline "$2")
    while :; do
        state=$(ps -o stat= -p "$pid" 2>/dev/null)
        [[ -z $state || $state == Z* ]] && return 0
        _e2e_before "$end" || return 1
        sleep 0.1
    done
}

_e2e_start() {
    local preload=$1; shift
    E2E_RUNS=$(( E2E_RUNS + 1 ))
    # Started from another folder than its own: the program must find its files by
    # its own location, not by the working directory.
    (cd "$HOME" && exec env LD_PRELOAD="$preload" DAWNBELL_E2E_PROBE="$E2E_DIR/state" \
        "$@" "$APPDIR/dawnbell") >"$E2E_DIR/app-$E2E_RUNS.log" 2>&1 </dev/null &
    APP_PID=$!
    E2E_PIDS+=("$APP_PID")
}

# start_app [VAR=value...]: starts the copied program in the background with that
# extra environment and sets APP_PID. Its output goes to $E2E_DIR/app-N.log.
start_app() { _e2e_start "$DAWNBELL_E2E_PROBE_LIB" "$@"; }

# start_main [VAR=value...]: start_app, then waits (15 s at most) for its main
# window; sets MAIN to the window's id, empty when none was shown.
start_main() {
    start_app "$@"
    MAIN=$(wait_window --pid "$APP_PID" Dawnbell 15)
}

# start_app_at "2026-12-09 07:29:55" [VAR=value...]: like start_app, with the wall
# clock starting at that local time and then running at normal speed.
#
# Measured with Qt 6.4, GStreamer 1.22 and libfaketime 0.9.10 on this stack, with a
# small Qt player and with Dawnbell ringing a 07:30:00 alarm:
# - QTimer, QTime::currentTime and QDateTime::currentDateTime work under faketime
#   either way: a 1 s timer ticks once a second and reads 07:29:56, 07:29:57, ...
#   and the main window's clock and date show the faked ones.
# - With the monotonic clock faked as well (libfaketime's default) GStreamer plays
#   nothing: the media reaches BufferedMedia, the audio sink waits on its clock for
#   ever, no EndOfMedia comes and the null sink records silence (RMS 0), although
#   the alarm window opens on time.
# - With FAKETIME_DONT_FAKE_MONOTONIC=1 playback is normal (RMS 0.33-0.39 for a
#   sample, EndOfMedia after its 3 s, the alarm loops), the timers are unchanged
#   and SIGTERM still ends the program with status 0.
start_app_at() {
    local when=$1; shift
    [[ -n $E2E_FAKETIME_LIB ]] || { _e2e_say "libfaketime is not installed"; return 1; }
    _e2e_start "$DAWNBELL_E2E_PROBE_LIB $E2E_FAKETIME_LIB" \
        FAKETIME="@$when" FAKETIME_DONT_FAKE_MONOTONIC=1 "$@"
}

# wait_exit PID TIMEOUT: waits until the program ends and sets EXIT_CODE. Fails, with
# EXIT_CODE empty, when it still runs after TIMEOUT seconds.
wait_exit() {
    EXIT_CODE=""
    _e2e_ended "$1" "$2" || return 1
    { wait "$1"; } 2>/dev/null   # the braces also silence bash's "Killed" notice
    EXIT_CODE=$?
}

# running PID: whether the program still runs.
running() { ! _e2e_ended "$1" 0; }

# --- What the program shows (probe.cpp) ----------------------------------------

# app_state PID: prints the program's latest report of its visible windows, their
# texts, open menus and a shown tooltip (format in probe.cpp). It is refreshed
# four times a second.
app_state() { cat "$E2E_DIR/state.$1" 2>/dev/null; }

# wait_state PID REGEX [TIMEOUT=5]: waits until a line of the report matches the
# extended regular expression.
wait_state() { _e2e_wait_report "$1" "$2" "${3:-5}" 0; }

# _e2e_wait_report PID REGEX TIMEOUT INVERT: waits until a line of the report
# matches (INVERT 0) or until none does (INVERT 1).
_e2e_wait_report() {
    local pid=$1 regex=$2 end
    end=$(_e2e_deadline "$3")
    until (( $(app_state "$pid" | grep -cE -- "$regex") > 0 ? !$4 : $4 )); do
        _e2e_before "$end" || return 1
        sleep 0.1
    done
}

# widget_at PID NAME: prints the screen position and size "X Y WIDTH HEIGHT" of the
# visible widget with that object name; fails when there is none.
widget_at() {
    app_state "$1" | awk -v n="$2" '$1 == "at" && $2 == n {print $3, $4, $5, $6; f = 1; exit} END {exit !f}'
}

# click_widget PID NAME [X Y] [BUTTON=1]: clicks the widget, at X,Y inside it or in
# its middle, once it is shown (waiting up to 5 s).
click_widget() {
    local pid=$1 name=$2 x y w h end
    end=$(_e2e_deadline 5)
    until read -r x y w h < <(widget_at "$pid" "$name"); do
        _e2e_before "$end" || { _e2e_say "no widget $name"; return 1; }
        sleep 0.1
    done
    if (( $# >= 4 )); then
        xdotool mousemove $(( x + $3 )) $(( y + $4 )) click "${5:-1}"
    else
        xdotool mousemove $(( x + w / 2 )) $(( y + h / 2 )) click "${3:-1}"
    fi
}

# --- Windows -----------------------------------------------------------------

_e2e_regex_quote() { printf '%s' "$1" | sed 's/[][\.*^$+?(){}|/]/\\&/g'; }

# Visible windows titled exactly NAME, of PID when given. xdotool matches titles
# by regular expression and ignores case, so the title is compared again.
_e2e_windows_named() {
    local name=$1 pid=${2:-} w
    for w in $(xdotool search --onlyvisible --name "^$(_e2e_regex_quote "$name")\$" 2>/dev/null); do
        [[ $(xdotool getwindowname "$w" 2>/dev/null) == "$name" ]] || continue
        [[ -z $pid || $(xdotool getwindowpid "$w" 2>/dev/null) == "$pid" ]] || continue
        echo "$w"
    done
}

# wait_window [--pid PID] NAME [TIMEOUT=10]: prints the id of a visible window
# titled exactly NAME as soon as there is one; fails after TIMEOUT seconds.
wait_window() {
    local pid=""
    [[ $1 == --pid ]] && { pid=$2; shift 2; }
    local name=$1 end w
    end=$(_e2e_deadline "${2:-10}")
    while :; do
        w=$(_e2e_windows_named "$name" "$pid" | head -n 1)
        [[ -n $w ]] && { echo "$w"; return 0; }
        _e2e_before "$end" || return 1
        sleep 0.1
    done
}

# window_gone [--pid PID] NAME [TIMEOUT=5]: succeeds once no visible window is
# titled NAME.
window_gone() {
    local pid=""
    [[ $1 == --pid ]] && { pid=$2; shift 2; }
    local name=$1 end
    end=$(_e2e_deadline "${2:-5}")
    while [[ -n $(_e2e_windows_named "$name" "$pid") ]]; do
        _e2e_before "$end" || return 1
        sleep 0.1
    done
}

# window_visible WID: whether the window is mapped and viewable.
window_visible() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

# is_dialog WID: whether the window manager was told the window is a dialog (a
# message box) rather than a normal top-level window.
is_dialog() { xprop -id "$1" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_DIALOG; }

# click_window_at WID X Y [BUTTON=1]: clicks at X,Y inside the window.
click_window_at() { xdotool mousemove --window "$1" "$2" "$3" click "${4:-1}"; }

# key_to WID KEY...: activates the window and types the keys (xdotool key names).
key_to() {
    local w=$1; shift
    xdotool windowactivate --sync "$w" && xdotool key --clearmodifiers "$@"
}

# close_window WID: what the title bar's close box does. openbox turns Alt+F4 into
# WM_DELETE_WINDOW; xdotool's windowclose and windowkill would destroy the window.
close_window() { key_to "$1" alt+F4; }

# screenshot FILE: the whole screen.
screenshot() { import -window root "$1"; }

# --- Tray icon ---------------------------------------------------------------

_e2e_size() { xwininfo -id "$1" 2>/dev/null | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w, h}'; }

# Whether an ancestor of the window is trayer's panel, i.e. the window is docked.
_e2e_in_tray() {
    local w=$1 parent _
    for _ in 1 2 3 4 5 6; do
        parent=$(xwininfo -children -id "$w" 2>/dev/null | awk '/Parent window id/ {print $4}')
        [[ -z $parent || $parent == 0x0 ]] && return 1
        xprop -id "$parent" WM_CLASS 2>/dev/null | grep -q '"trayer"' && return 0
        w=$parent
    done
    return 1
}

# tray_icon_window [PID]: prints the id of the program's icon docked in the tray (a
# small visible window of class dawnbell inside trayer); fails when there is none.
tray_icon_window() {
    local pid=${1:-} w width height
    for w in $(xdotool search --onlyvisible --classname '^dawnbell$' 2>/dev/null); do
        [[ -z $pid || $(xdotool getwindowpid "$w" 2>/dev/null) == "$pid" ]] || continue
        read -r width height < <(_e2e_size "$w")
        (( ${width:-999} <= 64 && ${height:-999} <= 64 )) || continue
        _e2e_in_tray "$w" && { echo "$w"; return 0; }
    done
    return 1
}

# wait_tray_icon [TIMEOUT=5]: prints the icon's id once it is docked.
wait_tray_icon() {
    local end w
    end=$(_e2e_deadline "${1:-5}")
    while :; do
        w=$(tray_icon_window) && { echo "$w"; return 0; }
        _e2e_before "$end" || return 1
        sleep 0.1
    done
}

# tray_icon_gone [TIMEOUT=5]: succeeds once no icon of the program is docked.
tray_icon_gone() {
    local end
    end=$(_e2e_deadline "${1:-5}")
    while tray_icon_window >/dev/null; do
        _e2e_before "$end" || return 1
        sleep 0.1
    done
}

# Points at the middle of the icon, then the xdotool actions given. On the icon
# `click 1` is a Trigger, `click --repeat 2 --delay 100 1` a Trigger then a
# DoubleClick, `click 3` the context menu; resting there shows the tooltip.
_e2e_on_tray_icon() {
    local w width height
    w=$(tray_icon_window) || { _e2e_say "no tray icon"; return 1; }
    read -r width height < <(_e2e_size "$w")
    xdotool mousemove --window "$w" $(( width / 2 )) $(( height / 2 )) "$@"
}
tray_click() { _e2e_on_tray_icon click 1; }
tray_double_click() { _e2e_on_tray_icon click --repeat 2 --delay 100 1; }
tray_right_click() { _e2e_on_tray_icon click 3; }
# The pointer is moved off first, so that resting on the icon is new to Qt.
tray_hover() { xdotool mousemove 640 400 && _e2e_on_tray_icon; }

# --- Sound -------------------------------------------------------------------

# sound_available: whether the sound server is up (DAWNBELL_TEST_SOUND=1); without
# it tests skip their loudness checks.
sound_available() { [[ ${DAWNBELL_TEST_SOUND:-0} == 1 ]]; }

# record_rms SECONDS: records what is played into the null sink for that long and
# prints the RMS amplitude (0 to 1).
record_rms() {
    local secs=$1 wav
    wav=$(mktemp "$E2E_DIR/rec.XXXXXX.wav")
    if ! timeout $(( ${secs%.*} + 10 )) sox -q -t pulseaudio nullsink.monitor "$wav" trim 0 "$secs"; then
        _e2e_say "recording failed"
        echo nan
        return 1
    fi
    sox "$wav" -n stat 2>&1 | awk '/RMS +amplitude/ {print $3}'
}

# loud RMS / silent RMS. Measured on the null sink: with nothing playing it records
# exactly 0; the sample sounds at full volume record 0.30-0.39 and a 0.5 sine 0.35;
# a sample at PulseAudio's 10 % (0.001 linear) still records 0.0004.
loud() { awk -v r="$1" 'BEGIN {exit !(r + 0 > 0.01)}'; }
silent() { awk -v r="$1" 'BEGIN {exit !(r == r + 0 && r + 0 < 0.0001)}'; }

# --- Profiles and settings ---------------------------------------------------

# write_profile NAME TIME PERIOD SOUND DAYS RISING NOTE: writes the profile file that
# the program keeps beside its executable. TIME like 07:30:00, PERIOD am|pm, DAYS
# "Everyday" or like "Monday, Wednesday, ", RISING 1|0; a NOTE of several lines is
# given with LF. Every line ends in CR LF.
write_profile() {
    (( $# == 7 )) || { _e2e_say "write_profile needs 7 fields, got $#"; return 1; }
    mkdir -p "$APPDIR/Profiles"
    printf '%s\r\n' "${@:1:6}" "${7//$'\n'/$'\r\n'}" >"$APPDIR/Profiles/$1.wkp"
}

# index_profiles NAME...: writes the settings file with the profile index, in order.
# The names are quoted: QSettings would read "Morning, run" unquoted as a list and
# drop blanks around " D ".
index_profiles() {
    local i=0 name
    mkdir -p "$XDG_CONFIG_HOME/dawnbell"
    {
        echo "[Settings]"
        echo "Counter=$#"
        for name in "$@"; do
            i=$(( i + 1 ))
            name=${name//\\/\\\\}
            echo "Profile$i=\"${name//\"/\\\"}\""
        done
    } >"$XDG_CONFIG_HOME/dawnbell/dawnbell.conf"
}

# --- Checks ------------------------------------------------------------------

# check DESCRIPTION COMMAND...: runs the command; its success is a pass.
check() {
    local what=$1; shift
    if "$@"; then
        E2E_PASSED=$(( E2E_PASSED + 1 ))
        echo "ok - $what"
    else
        E2E_FAILED=$(( E2E_FAILED + 1 ))
        echo "FAIL - $what"
    fi
}

# finish: prints the tally and exits, non-zero when a check failed (or none ran).
# On failure the program's output and last reports are printed, and the screen is
# kept in $DAWNBELL_E2E_ARTIFACTS when that is set.
finish() {
    if (( E2E_FAILED > 0 )); then
        local f
        for f in "$E2E_DIR"/app-*.log "$E2E_DIR"/state.*; do
            [[ -s $f ]] || continue
            echo "--- $(basename "$f")"
            tail -n 30 "$f"
        done
        if [[ -n ${DAWNBELL_E2E_ARTIFACTS:-} ]]; then
            local dest=$DAWNBELL_E2E_ARTIFACTS/$(basename "$0" .sh)
            mkdir -p "$dest" && screenshot "$dest/screen.png" && echo "screen kept in $dest/screen.png"
        fi
    fi
    echo "$E2E_PASSED passed, $E2E_FAILED failed"
    (( E2E_FAILED == 0 && E2E_PASSED > 0 ))
    exit $?
}

# --- More helpers: steadiness, colour, ratios, starting alone ------------------

# wait_no_state PID REGEX [TIMEOUT=5]: waits until no line of the report matches.
wait_no_state() { _e2e_wait_report "$1" "$2" "${3:-5}" 1; }

# steady_state PID REGEX SECONDS: whether a line of the report matches at every
# look for that long (ten looks a second), e.g. a label that must not blink.
steady_state() {
    local pid=$1 regex=$2 end
    end=$(_e2e_deadline "$3")
    while _e2e_before "$end"; do
        app_state "$pid" | grep -qE -- "$regex" || return 1
        sleep 0.1
    done
}

# red_pixels PID NAME: prints how many pixels of the named widget, as the screen
# shows it, are clearly red.
red_pixels() {
    local x y w h
    read -r x y w h < <(widget_at "$1" "$2") || { _e2e_say "no widget $2"; echo 0; return 1; }
    import -window root -crop "${w}x${h}+${x}+${y}" +repage png:- 2>/dev/null |
        convert png:- -fx 'r > 0.6 && g < 0.35 && b < 0.35' -format '%[fx:round(mean * w * h)]' info:
}

# louder A B FACTOR: whether the RMS A is more than FACTOR times the RMS B.
louder() { awk -v a="$1" -v b="$2" -v f="$3" 'BEGIN {exit !(a == a + 0 && b == b + 0 && a + 0 > f * b)}'; }

# The process that holds the program's single-instance lock, when one runs.
_e2e_lock_holder() {
    local pid
    pid=$(head -n 1 "${TMPDIR:-/tmp}/dawnbell-$(id -u).lock" 2>/dev/null)
    [[ $pid =~ ^[0-9]+$ ]] && running "$pid" && echo "$pid"
}

# start_alone START_FUNCTION [ARGS...]: start_app or start_app_at with those
# arguments; waits for the main window and sets MAIN_WIN. Other people's
# benchmarks start the program too, and only one copy runs per user: when ours
# shows the "already running" box while another copy holds the lock, ours is
# ended and started again once that copy has ended. Fails (status 2) when ours
# is refused while no other copy holds the lock.
MAIN_WIN=""
start_alone() {
    local tries=4 end holder
    MAIN_WIN=""
    while (( tries-- > 0 )); do
        "$@" || return 1
        end=$(_e2e_deadline 20)
        while _e2e_before "$end"; do
            if app_state "$APP_PID" | grep -q 'An instance of Dawnbell is already running'; then
                holder=$(_e2e_lock_holder)
                kill -TERM "$APP_PID" 2>/dev/null
                wait_exit "$APP_PID" 5 || kill -KILL "$APP_PID" 2>/dev/null
                [[ -n $holder && $holder != "$APP_PID" ]] || { _e2e_say "refused with no other copy holding the lock"; return 2; }
                _e2e_say "another copy ($holder) runs; starting again once it has ended"
                end=$(_e2e_deadline 200)
                while running "$holder"; do
                    _e2e_before "$end" || { _e2e_say "the other copy keeps running"; return 1; }
                    sleep 0.5
                done
                continue 2
            fi
            if app_state "$APP_PID" | grep -q '^window [^ ]* frmMain '; then
                MAIN_WIN=$(wait_window --pid "$APP_PID" Dawnbell 10) && return 0
                return 1
            fi
            running "$APP_PID" || return 1
            sleep 0.1
        done
        return 1
    done
    return 1
}
