#!/usr/bin/env bash
# First frame: exec to the first Expose of the window, for the labelled bare
# window and Dawnbell with no profiles, in alternate starts that a preloaded
# bench_firstframe.so ends right there. Nothing is waited for after it, so many
# starts fit in a few seconds and their medians hold still from run to run far
# better than startup.sh's; the price is that the map itself is not seen (the
# Expose follows it). With valgrind installed, also the instructions executed
# up to that Expose (one start each under callgrind; they repeat within 0.1 %).
#
#   bench/firstframe.sh              STARTS=60 COUNT=1 (COUNT=0: no valgrind)
#   COMPARE_BUILD=DIR bench/firstframe.sh   adds the Dawnbell of another build
source "$(dirname "$0")/lib.sh"
STARTS=${STARTS:-60}

bench_init
bench_build dawnbell bench_barewindow bench_firstframe
bench_x
bench_app "$WORK/p0"
write_profiles "$WORK/p0" 0 07:30:00 am "Monday, Friday, "
subjects=(label p0)
if [[ -n ${COMPARE_BUILD:-} ]]; then
    BUILD=$COMPARE_BUILD bench_app "$WORK/c0"
    write_profiles "$WORK/c0" 0 07:30:00 am "Monday, Friday, "
    subjects+=(c0)
fi
cmd_of() {
    case $1 in
        label) echo "$TOOLS/bench_barewindow label" ;;
        *) echo "$WORK/$1/app/dawnbell" ;;
    esac
}
wait_no_dawnbell
wait_quiet
say "$(machine)"
say "$STARTS alternate starts of: ${subjects[*]}"

# Each start: wall clock from spawn to exit, and its CPU time (rusage). An
# older build's lock (a file it removes on exit, which _exit skips) goes
# before and after each of its starts.
args=()
for s in "${subjects[@]}"; do args+=("$s=$(cmd_of "$s")" "$(app_env "$WORK/$s")"); done
/usr/bin/python3 - "$TOOLS/bench_firstframe.so" "$STARTS" "${args[@]}" >"$WORK/times.txt" <<'PY' || die "a start failed"
import os, statistics, sys, time
preload, starts, rest = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
subjects = []
for i in range(0, len(rest), 2):
    name, cmd = rest[i].split('=', 1)
    env = dict(os.environ, LD_PRELOAD=preload, **dict(v.split('=', 1) for v in rest[i + 1].split()))
    subjects.append((name, cmd.split(), env))
import glob
def drop_lock():
    for lock in glob.glob('/tmp/dawnbell-%d*.lock' % os.getuid()):
        os.unlink(lock)
times = {name: ([], []) for name, _, _ in subjects}
for _ in range(starts):
    for name, cmd, env in subjects:
        if name == 'c0':
            drop_lock()
        begin = time.perf_counter_ns()
        pid = os.posix_spawn(cmd[0], cmd, env)
        _, status, usage = os.wait4(pid, 0)
        end = time.perf_counter_ns()
        if status != 0:
            sys.exit(f"{name}: exit status {status}")
        times[name][0].append((end - begin) / 1e6)
        times[name][1].append((usage.ru_utime + usage.ru_stime) * 1e3)
        if name == 'c0':
            drop_lock()
for name, (wall, cpu) in times.items():
    print(name, statistics.median(wall), min(wall), max(wall), statistics.median(cpu), min(cpu), max(cpu))
PY

# instructions SUBJECT: executed up to the first Expose, or "-" without valgrind.
instructions() {
    if (( ${COUNT:-1} )) && command -v valgrind >/dev/null; then
        [[ $1 == c0 ]] && rm -f /tmp/dawnbell-"$(id -u)"*.lock
        # shellcheck disable=SC2046
        env $( [[ $1 == label ]] || app_env "$WORK/$1") LD_PRELOAD="$TOOLS/bench_firstframe.so" \
            valgrind --tool=callgrind --callgrind-out-file=/dev/null $(cmd_of "$1") 2>&1 >/dev/null |
            awk '/Collected :/ {print $NF; found = 1} END {if (!found) print "-"}'
        [[ $1 == c0 ]] && rm -f /tmp/dawnbell-"$(id -u)"*.lock
    else
        echo -
    fi
}
for s in "${subjects[@]}"; do
    say "counting instructions: $s"
    echo "$s $(instructions "$s")" >>"$WORK/instructions.txt"
done

echo
echo "First frame on $(machine)"
echo "Medians of $STARTS alternate starts each (range in brackets): exec -> first Expose of the window"
echo "(wall clock) and the CPU time by then; instructions executed by then, one start under callgrind."
printf '%-24s %17s %17s %13s | %s\n' subject "wall ms" "CPU ms" instructions "x labelled: wall  CPU instr"
for s in "${subjects[@]}"; do
    case $s in
        label) name="bare window + text label" ;;
        c0) name="base build, 0 profiles" ;;
        *) name="Dawnbell, 0 profiles" ;;
    esac
    awk -v s="$s" -v name="$name" '
        FNR == 1 {file++}
        file == 1 {w[$1] = $2; wr[$1] = sprintf("[%.0f-%.0f]", $3, $4); c[$1] = $5; cr[$1] = sprintf("[%.0f-%.0f]", $6, $7)}
        file == 2 {n[$1] = $2}
        END {
            ratio = (n[s] == "-" || n["label"] == "-") ? "   -" : sprintf("%5.3f", n[s] / n["label"])
            printf "%-24s %6.1f %-10s %6.1f %-10s %13s |             %5.3f %5.3f %s\n",
                name, w[s], wr[s], c[s], cr[s], n[s], w[s] / w["label"], c[s] / c["label"], ratio
        }' "$WORK/times.txt" "$WORK/instructions.txt"
done
[[ -n ${COMPARE_BUILD:-} ]] && echo "base build: $COMPARE_BUILD; Dawnbell: $BUILD"
