#!/usr/bin/env bash
# The sound module alone, without the program around it: PASSES whole passes of
# Sample1.mp3 through dawnbell_sound.so (load() and play(), as an alarm does),
# first on a quiet machine and then with LOAD busy loops competing for the CPUs.
# For each: from load() to the first loud block at the sound server, and whether
# every loud millisecond of the file arrived (a stream buffer too short for a busy
# machine drops out). Beside it, the buffer the stream got at the sound server.
#
#   bench/soundpass.sh               PASSES=4 LOADS="0 3" MODULE=build/bin/dawnbell_sound.so
#
# MODULE may name another build of the module (a copy kept from an older commit)
# to compare with.
source "$(dirname "$0")/lib.sh"
PASSES=${PASSES:-4}
LOADS=${LOADS:-0 3}
MODULE=${MODULE:-$BUILD/bin/dawnbell_sound.so}

bench_init
bench_build dawnbell_sound bench_soundpass bench_pcmstamp
bench_pulse
sox "$BUILD/bin/Sample1.mp3" -t raw -r 44100 -c 2 -e signed -b 16 "$WORK/file.raw" || die "sox cannot decode Sample1.mp3"

stream_buffer() {
    pactl list sink-inputs | awk '
        /^Sink Input/ {b = ""}
        /Buffer Latency:/ {b = $3}
        /application.process.binary = "bench_soundpass"/ && b != "" {printf "%.1f\n", b / 1000; exit}'
}

echo
echo "Sound module alone on $(machine)"
echo "Module: $MODULE"
echo "$PASSES passes of Sample1.mp3 each; ms from load() to the first loud block at the null sink"
printf '%-22s %8s %8s %8s   %-28s %s\n' "" median worst "buffer" "missing ms per pass" "length ms (file)"
for load in $LOADS; do
    wait_quiet
    bench_spawn "$WORK/pcm$load.txt" sh -c 'parec -d nullsink.monitor --raw --format=s16le --rate=44100 --channels=2 --latency-msec=10 | tee "$1" | "$2"' \
        sh "$WORK/rec$load.raw" "$TOOLS/bench_pcmstamp"
    recorder=$SPAWNED
    busy=()
    for (( i = 0; i < load; i++ )); do
        bench_spawn /dev/null sh -c 'while :; do :; done'
        busy+=("$SPAWNED")
    done
    sleep 1
    bench_spawn "$WORK/starts$load.txt" "$TOOLS/bench_soundpass" "$MODULE" "$BUILD/bin/Sample1.mp3" "$PASSES"
    player=$SPAWNED
    until_ok 10 grep -q '^start' "$WORK/starts$load.txt" && sleep 1.5 && stream_buffer >"$WORK/buffer$load.txt"
    until_ok $(( PASSES * 8 )) ended "$player" || say "the player did not finish"
    bench_stop "$player"
    for p in "${busy[@]}"; do bench_stop "$p"; done
    sleep 0.5
    parec_pid=$(ps -e -o pid=,pgid=,comm= | awk -v g="$recorder" '$2 == g && $3 == "parec" {print $1}')
    [[ -n $parec_pid ]] && kill -TERM "$parec_pid"
    until_ok 10 grep -q '^recorded_s' "$WORK/pcm$load.txt" || die "the recorder gave no result"
    bench_stop "$recorder"
    /usr/bin/python3 "$(dirname "$0")/pcmgaps.py" "$WORK/file.raw" "$WORK/rec$load.raw" >"$WORK/gaps$load.txt"
    delays=$(awk 'NR == FNR {if ($1 == "onset") o[++n] = $2; next}
        $1 == "start" {for (i = 1; i <= n; i++) if (o[i] >= $2 - 0.2 && o[i] < $2 + 2) {print (o[i] - $2) * 1000; break}}' \
        "$WORK/pcm$load.txt" "$WORK/starts$load.txt" | stats)
    awk -v l="$load busy loops" -v d="$delays" -v b="$(cat "$WORK/buffer$load.txt")" -v n="$PASSES" '
        BEGIN {split(d, D); note = D[1] < n ? "  (" n - D[1] " passes not heard)" : ""}
        {miss = miss $3 " "; len = len $4 " "; file = $5}
        END {printf "%-22s %8.1f %8.1f %8s   %-28s %s(%s)%s\n", l, D[2], D[4], b, miss, len, file, note}' "$WORK/gaps$load.txt"
done
