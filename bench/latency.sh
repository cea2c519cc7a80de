#!/usr/bin/env bash
# Alarm latency: from the start of the due wall-clock second to
#   (a) the alarm window being mapped (bench_mapwatch on the X server), and
#   (b) the first loud 5 ms block reaching the sound server (bench_pcmstamp on
#       the null sink's monitor),
# over PROCS starts of Dawnbell with PER alarms each, SPACING s apart, each
# dismissed with Escape. Beside it, what a free-running 1000 ms QTimer gives:
# its ticks' offsets into the second, 20 ticks from a fresh start per round,
# for Qt's default (coarse) timer and for a precise one.
#
#   bench/latency.sh                 PROCS=5 PER=4 LEAD=8 SPACING=5 DWELL=2
#
# The alarms ring at real times a few seconds ahead: the program, the window
# watcher and the recorder all read the same wall clock, with no offset to
# convert. An untimed round first builds GStreamer's plugin cache; in each
# round the first alarm also creates the alarm window (the sound module loads
# when the first alarm is activated), so it is reported apart from the later
# ones. Beside the figures: the buffer that Dawnbell's playback stream got at
# the sound server (pactl, read while each alarm plays), the floor of the delay.
source "$(dirname "$0")/lib.sh"
PROCS=${PROCS:-5}
PER=${PER:-4}
LEAD=${LEAD:-8}
SPACING=${SPACING:-5}
DWELL=${DWELL:-2}

bench_init
bench_build dawnbell bench_mapwatch bench_pcmstamp bench_freetimer
bench_x desktop
bench_pulse
bench_app "$WORK/db"

bench_spawn "$WORK/maps.txt" "$TOOLS/bench_mapwatch" watch --prefix Alarm
until_ok 10 grep -q READY "$WORK/maps.txt" || die "bench_mapwatch did not start"
bench_spawn "$WORK/pcm.txt" sh -c 'parec -d nullsink.monitor --raw --format=s16le --rate=44100 --channels=2 --latency-msec=10 | "$1"' \
    sh "$TOOLS/bench_pcmstamp"
recorder=$SPAWNED

# write_alarms COUNT FIRST: COUNT profiles ringing every day with Sample1.mp3,
# the first at epoch second FIRST, then every SPACING s.
write_alarms() {
    local conf=$WORK/db/config/dawnbell/dawnbell.conf k due name
    rm -f "$WORK/db/app/Profiles/"*.wkp
    printf '[Settings]\nCounter=%d\n' "$1" >"$conf"
    for (( k = 1; k <= $1; k++ )); do
        due=$(( $2 + (k - 1) * SPACING ))
        name=$(printf 'Wake %02d' "$k")
        printf '%s\r\n' "$name" "$(date -d "@$due" '+%I:%M:%S')" "$(date -d "@$due" '+%P')" \
            "$WORK/db/app/Sample1.mp3" Everyday 0 "Benchmark." >"$WORK/db/app/Profiles/$name.wkp"
        echo "Profile$k=\"$name\"" >>"$conf"
    done
}

# stream_buffer: "BUFFER_US SINK_US" of Dawnbell's playback stream at the sound
# server, read while it plays: the part of the delay that the server's buffer sets.
stream_buffer() {
    pactl list sink-inputs | awk '
        /^Sink Input/ {b = s = ""}
        /Buffer Latency:/ {b = $3}
        /Sink Latency:/ {s = $3}
        /application.process.binary = "dawnbell"/ && b != "" {print b, s; exit}'
}

maps() { grep -c '^[0-9]*\.[0-9]* 0x' "$WORK/maps.txt"; }

# round R COUNT: one start of Dawnbell ringing COUNT alarms; appends
# "ROUND K DUE MAP_EPOCH" to $WORK/alarms.txt.
round() {
    local r=$1 count=$2 first k due seen end line wid free=() kind p
    wait_no_dawnbell
    wait_quiet
    first=$(( ${EPOCHSECONDS} + LEAD ))
    write_alarms "$count" "$first"
    if (( r > 0 )); then
        for kind in coarse precise; do
            bench_spawn "$WORK/$kind$r.txt" "$TOOLS/bench_freetimer" 20 "$kind"
            free+=("$SPAWNED")
        done
    fi
    dawnbell_in_tray "$WORK/db" "$count"
    (( ${EPOCHREALTIME/./} < first * 1000000 - 300000 )) || die "activating took until the first alarm: raise LEAD"
    for (( k = 1; k <= count; k++ )); do
        due=$(( first + (k - 1) * SPACING ))
        seen=$(maps)
        end=$(( (due + 5) * 1000000 ))
        until (( $(maps) > seen )); do
            (( ${EPOCHREALTIME/./} < end )) || die "round $r: alarm $k (due $(date -d "@$due" +%T)) did not show"
            sleep 0.05
        done
        line=$(grep '^[0-9]*\.[0-9]* 0x' "$WORK/maps.txt" | sed -n "$(( seen + 1 ))p")
        echo "$r $k $due ${line%% *}" >>"$WORK/alarms.txt"
        wid=$(cut -d' ' -f2 <<<"$line")
        sleep "$DWELL"
        (( r == 1 && k == 1 )) && pactl list sinks | awk '/Latency:/ {print; exit}' >"$WORK/sink-latency.txt"
        (( r > 0 )) && stream_buffer >>"$WORK/stream-buffer.txt"
        timeout 5 xdotool windowactivate --sync "$wid" >/dev/null 2>&1
        xdotool key --clearmodifiers Escape
        until_ok 5 hidden "$wid" || die "round $r: the alarm window stayed after Escape"
    done
    bench_stop "$DB_PID"
    for p in "${free[@]}"; do
        until_ok 15 ended "$p" || say "round $r: a free-running timer did not finish"
        bench_stop "$p"
    done
}

say "$(machine)"
say "warm-up round"
round 0 1
NOISY=0
for (( r = 1; r <= PROCS; r++ )); do
    say "round $r of $PROCS"
    round "$r" "$PER"
done

# The recorder prints its findings when its input ends.
parec_pid=$(ps -e -o pid=,pgid=,comm= | awk -v g="$recorder" '$2 == g && $3 == "parec" {print $1}')
[[ -n $parec_pid ]] && kill -TERM "$parec_pid"
until_ok 10 grep -q '^recorded_s' "$WORK/pcm.txt" || die "the recorder gave no result"

awk -v spacing="$SPACING" '
    NR == FNR {if ($1 == "onset") onset[++n] = $2; next}
    $1 > 0 {
        win = ($4 - $3) * 1000; snd = "none"
        for (i = 1; i <= n; i++)
            if (onset[i] >= $3 - 0.5 && onset[i] < $3 + spacing - 0.5) { snd = (onset[i] - $3) * 1000; break }
        print ($2 == 1 ? "first" : "later"), win, snd
    }' "$WORK/pcm.txt" "$WORK/alarms.txt" >"$WORK/latency.txt"

# row LABEL COLUMN: median and worst of that column, overall, first and later alarms.
row() {
    local all first later missing
    all=$(awk -v c="$2" '$c != "none" {print $c}' "$WORK/latency.txt" | stats)
    first=$(awk -v c="$2" '$1 == "first" && $c != "none" {print $c}' "$WORK/latency.txt" | stats)
    later=$(awk -v c="$2" '$1 == "later" && $c != "none" {print $c}' "$WORK/latency.txt" | stats)
    missing=$(awk -v c="$2" '$c == "none"' "$WORK/latency.txt" | wc -l)
    awk -v l="$1" -v a="$all" -v f="$first" -v t="$later" -v m="$missing" 'BEGIN {
        split(a, A); split(f, F); split(t, T)
        note = m > 0 ? "   (" m " not heard)" : ""
        printf "%-34s %4d %8.1f %8.1f   %8.1f %8.1f   %8.1f %8.1f%s\n", l, A[1], A[2], A[4], F[2], F[4], T[2], T[4], note
    }'
}

echo
echo "Alarm latency on $(machine)"
echo "$PROCS starts x $PER alarms, $SPACING s apart; ms from the start of the due wall-clock second"
echo "(each start waited for the CPUs to be 75 % idle; $NOISY of $PROCS gave up after ${QUIET_WAIT:-60} s)"
printf '%-34s %4s %8s %8s   %8s %8s   %8s %8s\n' "" n median worst "first:med" worst "later:med" worst
row "alarm window mapped" 2
row "first loud block at the null sink" 3
for kind in coarse precise; do
    read -r n med _ max mean < <(cat "$WORK/$kind"[0-9]*.txt | stats)
    printf '%-34s %4d %8.1f %8.1f   mean %.0f; per-start medians: %s\n' \
        "free 1000 ms QTimer, $kind" "$n" "$med" "$max" "$mean" \
        "$(for f in "$WORK/$kind"[0-9]*.txt; do stats <"$f" | awk '{printf "%.0f ", $2}'; done)"
done
echo
echo "Recorder: reader delay median/max $(awk '/^reader_delay_ms/ {print $2 "/" $3 " ms"}' "$WORK/pcm.txt");" \
    "null sink during an alarm: $(sed 's/^[[:space:]]*//' "$WORK/sink-latency.txt" 2>/dev/null)"
if [[ -s $WORK/stream-buffer.txt ]]; then
    awk -v b="$(cut -d' ' -f1 "$WORK/stream-buffer.txt" | stats)" -v s="$(cut -d' ' -f2 "$WORK/stream-buffer.txt" | stats)" 'BEGIN {
        split(b, B); split(s, S)
        printf "Dawnbell'"'"'s stream at the sound server (%d alarms): buffer median %.1f ms (%.1f-%.1f), sink %.1f ms\n",
            B[1], B[2] / 1000, B[3] / 1000, B[4] / 1000, S[2] / 1000
    }'
else
    echo "Dawnbell's stream was not seen at the sound server"
fi
echo "Goals: window median <= 20 ms, worst <= 40 ms; sound median <= 100 ms, worst <= 150 ms (first alarms included)."
