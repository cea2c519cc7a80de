#!/usr/bin/env bash
# Start-up: exec to first window mapped (and the CPU time spent by then), and
# resident memory 10 s later (in the first RSS_RUNS runs only: the others end
# each start at its map, so that many starts fit in a few minutes), for a bare Qt window, the same window showing
# one text label (the floor the ratios are taken against), and for Dawnbell with 0,
# 1,000, 2,500 and 5,000 profiles in its index (their files written
# beforehand). The subjects take turns, after one untimed start each (caches).
#
#   bench/startup.sh                 RUNS=30 RSS_RUNS=3 SIZES="0 1000 2500 5000" RSS_AFTER=10
#   COMPARE_BUILD=DIR bench/startup.sh   adds the Dawnbell of another build
#                                    folder ("base build" rows), in the same turns
#
# The map is seen by bench_mapwatch on the X server (MapNotify on the root);
# there is no window manager, so nothing but the program is timed. Each start
# waits for the shared machine to be mostly idle (wait_quiet in lib.sh).
source "$(dirname "$0")/lib.sh"
RUNS=${RUNS:-30}
RSS_RUNS=${RSS_RUNS:-3}
SIZES=${SIZES:-0 1000 2500 5000}
RSS_AFTER=${RSS_AFTER:-10}

bench_init
bench_build dawnbell bench_barewindow bench_mapwatch
bench_x
for n in $SIZES; do
    bench_app "$WORK/p$n"
    write_profiles "$WORK/p$n" "$n" 07:30:00 am "Monday, Friday, "
    if [[ -n ${COMPARE_BUILD:-} ]]; then
        BUILD=$COMPARE_BUILD bench_app "$WORK/c$n"
        write_profiles "$WORK/c$n" "$n" 07:30:00 am "Monday, Friday, "
    fi
done

# start SUBJECT WAIT: one start, killed WAIT seconds after its map; prints
# "MAP_MS CPU_MS RSS_KB ANON_KB FILE_KB".
# Every subject is spawned by the watcher itself: Dawnbell's environment is
# exported to the watcher, not set through env(1), whose own exec would count.
start() {
    local subject=$1 out cmd vars=()
    if [[ $subject == bare ]]; then
        cmd=("$TOOLS/bench_barewindow")
    elif [[ $subject == label ]]; then
        cmd=("$TOOLS/bench_barewindow" label)
    else
        wait_no_dawnbell
        # A build from before the kernel lock meets the lock file that later
        # builds leave in place, takes it for a stale lock and waits 100 ms.
        [[ $subject == c* ]] && rm -f /tmp/dawnbell-"$(id -u)"*.lock
        read -ra vars <<<"$(app_env "$WORK/$subject")"
        cmd=("$WORK/$subject/app/dawnbell")
    fi
    wait_quiet
    out=$( (( ${#vars[@]} )) && export "${vars[@]}"; "$TOOLS/bench_mapwatch" launch --rss-after "$2" --timeout 30 --log "$WORK/$subject.log" -- "${cmd[@]}") \
        || die "$subject: no window (see bench_mapwatch above)"
    awk '/^map_ms/ {m = $2} /^cpu_ms/ {c = $2} /^rss_kb/ {r = $2; a = $3; f = $4}
        END {print m, c, r + 0, a + 0, f + 0}' <<<"$out"
}

subjects=(bare label)
for n in $SIZES; do
    subjects+=("p$n")
    [[ -n ${COMPARE_BUILD:-} ]] && subjects+=("c$n")
done
say "$(machine)"
say "warming up"
for s in "${subjects[@]}"; do start "$s" 0 >/dev/null; done
NOISY=0
for (( run = 1; run <= RUNS; run++ )); do
    say "run $run of $RUNS"
    for s in "${subjects[@]}"; do
        start "$s" $(( run <= RSS_RUNS ? RSS_AFTER : 0 )) >>"$WORK/$s.txt"
        say "  $s: $(tail -n 1 "$WORK/$s.txt")"
    done
done

# median SUBJECT COLUMN [DIVISOR]; the memory columns (3-5) come from the first RSS_RUNS runs.
median() {
    local rows=$RUNS
    (( $2 >= 3 )) && rows=$RSS_RUNS
    head -n "$rows" "$WORK/$1.txt" | cut -d' ' -f"$2" | stats | awk -v d="${3:-1}" '{printf "%.1f", $2 / d}'
}
range() { cut -d' ' -f"$2" "$WORK/$1.txt" | stats | awk '{printf "%.0f-%.0f", $3, $4}'; }

echo
echo "Start-up on $(machine)"
echo "Medians of $RUNS starts each (range in brackets). map: exec -> first window mapped (wall clock);"
echo "CPU: the program's on-CPU time up to the map; RSS ${RSS_AFTER} s after the map (median of the first $RSS_RUNS starts)."
echo "Each start waited for the CPUs to be 75 % idle; $NOISY of $(( RUNS * ${#subjects[@]} )) gave up after ${QUIET_WAIT:-60} s."
printf '%-24s %16s %15s %8s %12s | %s\n' subject "map ms" "CPU ms" "RSS MiB" "(anon+file)" "x labelled: map  CPU  RSS"
for s in "${subjects[@]}"; do
    case $s in
        bare) label="bare Qt window" ;;
        label) label="bare window + text label" ;;
        c*) label="base build, ${s#c} profiles" ;;
        *) label="Dawnbell, ${s#p} profiles" ;;
    esac
    awk -v l="$label" -v m="$(median "$s" 1)" -v mr="$(range "$s" 1)" -v c="$(median "$s" 2)" -v cr="$(range "$s" 2)" \
        -v r="$(median "$s" 3 1024)" -v a="$(median "$s" 4 1024)" -v f="$(median "$s" 5 1024)" \
        -v bm="$(median label 1)" -v bc="$(median label 2)" -v br="$(median label 3 1024)" \
        'BEGIN {printf "%-24s %6.1f %-9s %6.1f %-8s %8.1f %12s |             %4.2f %4.2f %4.2f\n",
                l, m, "[" mr "]", c, "[" cr "]", r, a "+" f, m / bm, c / bc, r / br}'
done
if [[ " $SIZES " == *" 0 "* && $SIZES =~ [1-9] ]]; then
    echo
    echo "Reading the index (median minus the median with 0 profiles):"
    for n in $SIZES; do
        (( n > 0 )) || continue
        awk -v n="$n" -v m="$(median "p$n" 1)" -v m0="$(median p0 1)" -v c="$(median "p$n" 2)" -v c0="$(median p0 2)" \
            'BEGIN {printf "  %5d profiles: map %+7.1f ms, CPU %+7.1f ms  (per 1,000: %.1f and %.1f ms)\n",
                    n, m - m0, c - c0, (m - m0) * 1000 / n, (c - c0) * 1000 / n}'
    done
fi
[[ -n ${COMPARE_BUILD:-} ]] && echo "base build: $COMPARE_BUILD; Dawnbell: $BUILD"
echo
echo "Goal: Dawnbell with 0 profiles at most 1.15 x the labelled bare window, on map and on RSS."
