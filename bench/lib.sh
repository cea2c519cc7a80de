# Helpers of the benchmark scripts (sourced). Each script gets a private temporary
# folder, its own X server (display :70 or above) and, when asked, a window
# manager, a tray and a PulseAudio null sink; bench_cleanup (on EXIT) ends all of
# it and removes the folder.

set -uo pipefail

BENCH_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${DAWNBELL_BUILD:-$BENCH_ROOT/build}
TOOLS=$BUILD/bench
BENCH_GROUPS=()     # process groups started here and not stopped yet
BENCH_PULSE_PID=""
WORK=""

say() { echo "bench: $*" >&2; }
die() { say "$*"; exit 1; }

bench_init() {
    WORK=$(mktemp -d "${TMPDIR:-/tmp}/dawnbell-bench.XXXXXX") || exit 1
    trap bench_cleanup EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    export XDG_RUNTIME_DIR=$WORK/runtime HOME=$WORK/home XDG_CACHE_HOME=$WORK/cache
    mkdir -m 0700 "$XDG_RUNTIME_DIR"
    mkdir -p "$HOME" "$XDG_CACHE_HOME"
    export DBUS_SESSION_BUS_ADDRESS=disabled:
    # No sound server unless bench_pulse starts one: libpulse must not spawn its own.
    export PULSE_SERVER=unix:$WORK/no-sound-server
    unset QT_QPA_PLATFORM WAYLAND_DISPLAY
}

bench_cleanup() {
    set +e
    local g tries left
    [[ -n $BENCH_PULSE_PID ]] && kill -TERM "$BENCH_PULSE_PID" 2>/dev/null
    for g in "${BENCH_GROUPS[@]}"; do kill -TERM -- "-$g" 2>/dev/null; done
    for (( tries = 30; tries > 0; tries-- )); do
        left=0
        for g in "${BENCH_GROUPS[@]}"; do
            ps -e -o pgid=,stat= | awk -v g="$g" '$1 == g && $2 !~ /^Z/ {f = 1} END {exit !f}' && left=1
        done
        [[ -n $BENCH_PULSE_PID ]] && kill -0 "$BENCH_PULSE_PID" 2>/dev/null && left=1
        (( left )) || break
        sleep 0.1
    done
    for g in "${BENCH_GROUPS[@]}"; do kill -KILL -- "-$g" 2>/dev/null; done
    [[ -n $BENCH_PULSE_PID ]] && kill -KILL "$BENCH_PULSE_PID" 2>/dev/null
    wait 2>/dev/null
    [[ -n $WORK && -d $WORK ]] && rm -rf "$WORK"
}

# bench_spawn LOG COMMAND...: runs COMMAND in the background in a process group
# of its own (ended by bench_cleanup); sets SPAWNED to its pid.
bench_spawn() {
    local log=$1; shift
    setsid "$@" >"$log" 2>&1 </dev/null &
    SPAWNED=$!
    BENCH_GROUPS+=("$SPAWNED")
}

# ended PID: whether the process is gone or a zombie.
ended() {
    local state
    state=$(ps -o stat= -p "$1")
    [[ -z $state || $state == Z* ]]
}

# bench_stop PID: ends a process started with bench_spawn (its whole group).
bench_stop() {
    local pid=$1
    kill -TERM -- "-$pid" 2>/dev/null
    until_ok 5 ended "$pid"
    kill -KILL -- "-$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    # Forgotten, so that cleanup never signals a group id used again meanwhile.
    local g kept=()
    for g in "${BENCH_GROUPS[@]}"; do [[ $g == "$pid" ]] || kept+=("$g"); done
    BENCH_GROUPS=("${kept[@]}")
    return 0
}

# until_ok SECONDS COMMAND...: retries COMMAND every 50 ms for up to SECONDS.
until_ok() {
    local end=$(( ${EPOCHREALTIME/./} + $1 * 1000000 )); shift
    until "$@" >/dev/null 2>&1; do
        (( ${EPOCHREALTIME/./} < end )) || return 1
        sleep 0.05
    done
}

bench_build() {
    cmake --build "$BUILD" -j2 --target "$@" >"$WORK/build.log" 2>&1 || { tail -n 30 "$WORK/build.log"; die "build failed"; }
}

# bench_x [desktop]: starts Xvfb on a free display from :70 and exports DISPLAY;
# with "desktop" also openbox and a trayer tray. A desktop that comes up half
# (openbox now and then fails on a display that has just answered) is ended and
# started again on another display.
bench_x() {
    local attempt
    for attempt in 1 2 3; do
        _bench_x_once "${1:-}" && return 0
        say "no X desktop (attempt $attempt of 3): $(tail -n 1 "$WORK/openbox.log" 2>/dev/null)"
        local pid
        for pid in "${_bench_x_pids[@]}"; do bench_stop "$pid"; done
    done
    die "no X server started"
}

_bench_x_once() {
    local n
    _bench_x_pids=()
    unset DISPLAY
    for (( n = 70; n < 100; n++ )); do
        [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
        # A private /tmp hides other servers' files, not their abstract sockets,
        # which clients reach first: a display taken there is taken.
        grep -q "@/tmp/.X11-unix/X$n\$" /proc/net/unix && continue
        bench_spawn "$WORK/xvfb.log" Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp -noreset
        if DISPLAY=:$n until_ok 10 xdpyinfo && ! ended "$SPAWNED"; then
            _bench_x_pids+=("$SPAWNED")
            export DISPLAY=:$n
            break
        fi
        bench_stop "$SPAWNED"   # lost a race for that display
    done
    [[ -n ${DISPLAY:-} ]] || return 1
    [[ $1 == desktop ]] || return 0
    bench_spawn "$WORK/openbox.log" openbox --sm-disable
    _bench_x_pids+=("$SPAWNED")
    until_ok 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || return 1
    bench_spawn "$WORK/trayer.log" trayer --edge top --align right --widthtype request --height 32 --SetDockType true
    _bench_x_pids+=("$SPAWNED")
    until_ok 10 sh -c '[ "$(xdotool search --name "^trayer\$" | wc -l)" -ge 2 ]' || return 1
    sleep 0.3
}

# bench_pulse: a PulseAudio daemon with a null sink kept running (its monitor
# records nothing while the sink is suspended).
bench_pulse() {
    mkdir -p "$WORK/pulse-home"
    HOME=$WORK/pulse-home pulseaudio --daemonize=yes -n --exit-idle-time=-1 \
        --load="module-null-sink sink_name=nullsink" --load="module-native-protocol-unix" \
        >"$WORK/pulseaudio.log" 2>&1 || die "pulseaudio did not start: $(tail -n 1 "$WORK/pulseaudio.log")"
    BENCH_PULSE_PID=$(cat "$XDG_RUNTIME_DIR/pulse/pid" 2>/dev/null)
    export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native
    until_ok 10 pactl info || die "pactl cannot reach pulseaudio"
    pactl set-default-sink nullsink || die "no null sink"
    bench_spawn "$WORK/pacat.log" sh -c 'exec pacat --playback -d nullsink --format=s16le --rate=44100 --channels=2 --latency-msec=50 </dev/zero'
}

# bench_app DIR: a private copy of the built program in DIR/app (its Profiles
# folder goes beside it) with its settings in DIR/config.
bench_app() {
    local dir=$1
    mkdir -p "$dir/app/Profiles" "$dir/config/dawnbell" "$dir/tmp"
    find "$BUILD/bin" -maxdepth 1 -type f -exec cp -p {} "$dir/app/" \;
}

# app_env DIR: the environment a copy in DIR runs with, for env(1). Its own
app_env() { echo "XDG_CONFIG_HOME=$1/config TMPDIR=$1/tmp"; }

# write_profiles DIR COUNT TIME PERIOD DAYS [PREFIX=Profile]: COUNT profiles named
# "PREFIX 00001"..., all ringing at TIME PERIOD on DAYS, with Sample1.mp3, and the
# index naming them.
write_profiles() {
    local dir=$1 count=$2 time=$3 period=$4 days=$5 prefix=${6:-Profile}
    awk -v n="$count" -v dir="$dir" -v t="$time" -v p="$period" -v d="$days" -v pre="$prefix" '
        BEGIN {
            conf = dir "/config/dawnbell/dawnbell.conf"
            print "[Settings]" > conf
            print "Counter=" n > conf
            for (i = 1; i <= n; i++) {
                name = sprintf("%s %05d", pre, i)
                print "Profile" i "=\"" name "\"" > conf
                f = dir "/app/Profiles/" name ".wkp"
                printf "%s\r\n%s\r\n%s\r\n%s\r\n%s\r\n0\r\nA note for the benchmark.\r\n", name, t, p, dir "/app/Sample1.mp3", d > f
                close(f)
            }
        }'
}

# wait_no_dawnbell: a running copy (the end-to-end tests, say) would disturb the
# figures: wait for it to end, up to 15 minutes.
wait_no_dawnbell() {
    local waited=0
    while pgrep -x dawnbell >/dev/null; do
        (( waited == 0 )) && say "another dawnbell is running (pid $(pgrep -x dawnbell | tr '\n' ' ')); waiting"
        (( waited++ < 9000 )) || die "gave up waiting for the other dawnbell"
        sleep 0.1
    done
}

# wait_quiet: other work on this shared machine (builds, test runs) spoils
# timings: waits, up to QUIET_WAIT seconds (60), until the CPUs are at least
# 75 % idle over half a second. Counts the waits that ran out in NOISY.
NOISY=0
wait_quiet() {
    local end=$(( ${EPOCHREALTIME/./} + ${QUIET_WAIT:-60} * 1000000 )) a b
    while :; do
        a=$(head -n 1 /proc/stat)
        sleep 0.5
        b=$(head -n 1 /proc/stat)
        awk -v a="$a" -v b="$b" 'BEGIN {
            n = split(a, x); split(b, y)
            for (i = 2; i <= n; i++) total += y[i] - x[i]
            idle = (y[5] - x[5]) + (y[6] - x[6])
            exit !(total > 0 && idle / total >= 0.75)
        }' && return 0
        if (( ${EPOCHREALTIME/./} >= end )); then
            NOISY=$(( NOISY + 1 ))
            return 0
        fi
    done
}

# window_of PID TITLE_REGEX: the id of a visible window of that process.
window_of() {
    local w
    for w in $(xdotool search --onlyvisible --name "$2" 2>/dev/null); do
        [[ $(xdotool getwindowpid "$w" 2>/dev/null) == "$1" ]] && { echo "$w"; return 0; }
    done
    return 1
}

# wait_window_of PID TITLE_REGEX [SECONDS=15]
wait_window_of() {
    local end=$(( ${EPOCHREALTIME/./} + ${3:-15} * 1000000 ))
    until window_of "$1" "$2"; do
        (( ${EPOCHREALTIME/./} < end )) || return 1
        sleep 0.05
    done
}

# rows_in WID X Y: how many lines of text the 169x121 list at X,Y shows
# (dark bands in its white inside).
rows_in() {
    import -window "$1" "$WORK/shot.png" 2>/dev/null || return 1
    convert "$WORK/shot.png" -crop "163x115+$(( $2 + 3 ))+$(( $3 + 3 ))" +repage -colorspace gray \
        -resize '1x115!' -depth 8 txt:- |
        awk 'NR > 1 {sub(/^[^(]*\(/, ""); ink = $0 + 0 < 240; if (ink && !prev) n++; prev = ink} END {print n + 0}'
}

# rows_are WID Y COUNT: whether the active list at 192,Y shows COUNT rows.
rows_are() { [[ $(rows_in "$1" 192 "$2") == "$3" ]]; }

hidden() { ! xwininfo -id "$1" | grep -q IsViewable; }
# Whether a small window of Dawnbell's is shown: its icon in trayer.
tray_icon() {
    local w
    for w in $(xdotool search --onlyvisible --classname '^dawnbell$'); do
        xwininfo -id "$w" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {exit !(w <= 64 && h <= 64)}' && return 0
    done
    return 1
}

# dawnbell_in_tray DIR ALARMS: starts the copy in DIR (pid in DB_PID), activates
# the top ALARMS profiles through its window and hides it to the tray.
dawnbell_in_tray() {
    local dir=$1 alarms=$2 main WIDTH HEIGHT menu i
    wait_no_dawnbell
    bench_spawn "$dir/dawnbell.log" env $(app_env "$dir") "$dir/app/dawnbell"
    DB_PID=$SPAWNED
    main=$(wait_window_of "$DB_PID" '^Dawnbell$') || die "no main window"
    eval "$(xdotool getwindowgeometry --shell "$main")"
    menu=$(( HEIGHT - 216 ))   # the menu bar above the client area
    timeout 10 xdotool windowactivate --sync "$main" >/dev/null || die "cannot activate the main window"
    for (( i = 0; i < alarms; i++ )); do
        # The top row of the profile list, then Alarm > Activate.
        xdotool mousemove --window "$main" 60 $(( menu + 47 )) click 1
        sleep 0.2
        xdotool key --clearmodifiers ctrl+a
        sleep 0.2
    done
    # The first activation also loads the sound module, which holds up the
    # window for a moment on a busy machine: wait for the rows to be drawn.
    until_ok 5 rows_are "$main" $(( menu + 40 )) "$alarms" \
        || die "$(rows_in "$main" 192 $(( menu + 40 ))) alarms active instead of $alarms"
    xdotool key --clearmodifiers alt+F4   # openbox closes the window: Dawnbell hides to the tray
    until_ok 5 hidden "$main" || die "the main window did not hide"
    until_ok 5 tray_icon || die "no tray icon"
}

# stats: numbers on stdin -> "COUNT MEDIAN MIN MAX MEAN".
stats() {
    sort -g | awk '{v[NR] = $1; s += $1}
        END {
            if (NR == 0) { print 0, "nan", "nan", "nan", "nan"; exit }
            m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            print NR, m, v[1], v[NR], s / NR
        }'
}

# machine: one line about where the figures come from.
machine() {
    echo "$(date '+%Y-%m-%d %H:%M %Z'), $(nproc) cores ($(awk -F': ' '/model name/ {print $2; exit}' /proc/cpuinfo)), load $(cut -d' ' -f1-3 /proc/loadavg)"
}
