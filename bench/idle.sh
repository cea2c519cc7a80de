#!/usr/bin/env bash
# Idle cost: CPU seconds and wakeups per second over 60 s of
#   - Dawnbell hidden in the tray with 3 alarms active (activated through its window),
#   - Dawnbell hidden in the tray with none active,
#   - a bare Qt window, shown,
# on a private X server with openbox and trayer.
#
#   bench/idle.sh                    RUNS=1 IDLE=60 SETTLE=5
#
# Wakeups are context switches (voluntary + involuntary) summed over the threads
# in /proc/PID/task; CPU is utime + stime from /proc/PID/stat (on-CPU ms: the
# threads' schedstat, finer than its 10 ms ticks). The alarms ring an
# hour ago, every day, so none rings during the run.
source "$(dirname "$0")/lib.sh"
RUNS=${RUNS:-1}
IDLE=${IDLE:-60}
SETTLE=${SETTLE:-5}
TICK=$(getconf CLK_TCK)

bench_init
bench_build dawnbell bench_barewindow
bench_x desktop
bench_app "$WORK/db"
write_profiles "$WORK/db" 3 "$(date -d '-1 hour' '+%I:%M:%S')" "$(date -d '-1 hour' '+%P')" Everyday Alarm

# Per thread: "TID NAME SWITCHES".
switches() {
    local t
    for t in /proc/"$1"/task/*; do
        echo "${t##*/} $(tr ' ' _ <"$t/comm") $(awk '/^(non)?voluntary_ctxt_switches/ {s += $2} END {print s}' "$t/status")"
    done 2>/dev/null
}
cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }
# Time on a CPU in ns, summed over the threads: finer than the ticks above.
oncpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {printf "%d", s}'; }

# measure PID NAME: idles IDLE seconds; appends "CPU_S WAKEUPS_PER_S ONCPU_MS" to
# $WORK/NAME.txt and the busiest threads to $WORK/NAME.threads.
measure() {
    local pid=$1 name=$2 c0 c1 n0 n1
    sleep "$SETTLE"
    switches "$pid" >"$WORK/s0"
    c0=$(cpu_ticks "$pid") n0=$(oncpu_ns "$pid")
    sleep "$IDLE"
    c1=$(cpu_ticks "$pid") n1=$(oncpu_ns "$pid")
    switches "$pid" >"$WORK/s1"
    kill -0 "$pid" 2>/dev/null || die "$name ended while idle"
    awk -v c="$(( c1 - c0 ))" -v hz="$TICK" -v s="$IDLE" -v ns="$(( n1 - n0 ))" '
        NR == FNR {before[$1] = $3; next}
        {total += $3 - before[$1]}
        END {printf "%.3f %.2f %.1f\n", c / hz, total / s, ns / 1e6}' "$WORK/s0" "$WORK/s1" >>"$WORK/$name.txt"
    awk -v s="$IDLE" 'NR == FNR {before[$1] = $3; next}
        {d = $3 - before[$1]; if (d > 0) printf "%s:%.2f ", $2, d / s}' "$WORK/s0" "$WORK/s1" >>"$WORK/$name.threads"
    echo >>"$WORK/$name.threads"
}

say "$(machine)"
for (( run = 1; run <= RUNS; run++ )); do
    say "run $run of $RUNS: bare window"
    bench_spawn "$WORK/bare.log" "$TOOLS/bench_barewindow"
    bare=$SPAWNED
    wait_window_of "$bare" '^Bare window$' >/dev/null || die "no bare window"
    measure "$bare" bare
    bench_stop "$bare"
    for alarms in 3 0; do
        say "run $run of $RUNS: Dawnbell in the tray, $alarms alarms active"
        dawnbell_in_tray "$WORK/db" "$alarms"
        measure "$DB_PID" "tray$alarms"
        bench_stop "$DB_PID"
    done
done

echo
echo "Idle on $(machine)"
echo "$RUNS run(s) of ${IDLE} s each after ${SETTLE} s settling; median over the runs"
printf '%-34s %8s %8s %12s %10s\n' subject "CPU s" "CPU %" "on-CPU ms" "wakeups/s"
for s in tray3 tray0 bare; do
    case $s in
        tray3) label="Dawnbell in the tray, 3 alarms" ;;
        tray0) label="Dawnbell in the tray, no alarms" ;;
        bare) label="bare Qt window, shown" ;;
    esac
    read -r _ cpu _ <<<"$(cut -d' ' -f1 "$WORK/$s.txt" | stats)"
    read -r _ wake _ <<<"$(cut -d' ' -f2 "$WORK/$s.txt" | stats)"
    read -r _ ms _ <<<"$(cut -d' ' -f3 "$WORK/$s.txt" | stats)"
    awk -v l="$label" -v c="$cpu" -v w="$wake" -v m="$ms" -v s="$IDLE" \
        'BEGIN {printf "%-34s %8.2f %8.3f %12.1f %10.2f\n", l, c, c * 100 / s, m, w}'
done
echo
echo "Wakeups per second by thread (last run):"
for s in tray3 tray0 bare; do echo "  $s: $(tail -n 1 "$WORK/$s.threads")"; done
echo "Goals: in the tray with 3 alarms active at most 0.05 wakeups per second, with none 0.00."
