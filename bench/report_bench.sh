#!/usr/bin/env bash
# Times the report tool's summary and dump on a generated log beside `wc -l`
# on the same file in the same run, with peak memory.
#   bench/report_bench.sh [BUILD_DIR] [LINES]
set -euo pipefail
build=${1:-build}
lines=${2:-1000000}
log=${TMPDIR:-/tmp}/pomurina-bench-$lines.log
[ -s "$log" ] || "$build/pomurina-genlog" --lines "$lines" --seed 1 > "$log"
bytes=$(stat -c %s "$log")

# Best of three wall times (seconds) and the peak memory (KiB) of a command.
measure() {
    local best="" peak=0
    for _ in 1 2 3; do
        /usr/bin/time -f "%e %M" -o /tmp/pomurina-bench.time "$@" > /dev/null
        read -r seconds kib < /tmp/pomurina-bench.time
        if [ -z "$best" ] || awk "BEGIN{exit !($seconds < $best)}"; then best=$seconds; fi
        [ "$kib" -gt "$peak" ] && peak=$kib
    done
    echo "$best $peak"
}

cat "$log" > /dev/null  # warm the page cache
read -r wc_s wc_k < <(measure wc -l "$log")
read -r sum_s sum_k < <(measure "$build/pomurina-report" "$log")
read -r dump_s dump_k < <(measure "$build/pomurina-report" --dump "$log")

awk -v lines="$lines" -v bytes="$bytes" -v wc="$wc_s" -v s="$sum_s" -v sk="$sum_k" -v d="$dump_s" -v dk="$dump_k" 'BEGIN {
    printf "log: %d lines, %.1f MB\n", lines, bytes / 1e6
    printf "wc -l             %6.2f s\n", wc
    printf "report (summary)  %6.2f s  %6.2f x wc  %9.0f lines/s  peak %6.1f MB = %.2f x log\n", s, s / (wc > 0 ? wc : 0.01), lines / (s > 0 ? s : 0.01), sk / 1024, sk * 1024 / bytes
    printf "report --dump     %6.2f s  %6.2f x wc  %9.0f lines/s  peak %6.1f MB = %.2f x log\n", d, d / (wc > 0 ? wc : 0.01), lines / (d > 0 ? d : 0.01), dk / 1024, dk * 1024 / bytes
}'
