# Timing helpers shared by the shell benchmarks; sourced, not run.
now() { date +%s.%N; }
# Wall-clock time of one command, as a user would see it. Pending writes and deletions of the
# commands before are settled first, so that no command pays for another's.
timed() {
    local t0 t1
    sync
    t0=$(now)
    "$@" > /dev/null
    t1=$(now)
    awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.6f\n", b - a }'
}
# The smaller of two times; an empty first one counts as none yet.
min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b + 0 < a + 0) ? b : a }'; }
