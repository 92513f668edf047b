#!/usr/bin/env bash
# Times the window program's --dump-state (offscreen) against the report
# tool's --dump on the same generated log in the same run, with peak memory.
# Targets: the window at most 1.5 x the report tool's time, and a peak memory
# under 4 x the log's size.  Exits 1 when a target is missed.
#   bench/window_vs_report.sh [BUILD_DIR] [LINES]
source "$(dirname "$0")/common.sh"
bench_setup "${1:-build}" "${2:-1000000}" 1
read -r report_s report_k < <(measure "$build/pomurina-report" --dump "$log")
read -r window_s window_k < <(QT_QPA_PLATFORM=offscreen measure "$build/pomurina" --dump-state /dev/null "$log")

awk -v lines="$lines" -v bytes="$bytes" -v r="$report_s" -v rk="$report_k" -v w="$window_s" -v wk="$window_k" 'BEGIN {
    ratio = w / (r > 0 ? r : 0.01); memory = wk * 1024 / bytes
    printf "log: %d lines, %.1f MB\n", lines, bytes / 1e6
    printf "pomurina-report --dump      %6.2f s  peak %7.1f MB = %.2f x log\n", r, rk / 1024, rk * 1024 / bytes
    printf "pomurina --dump-state       %6.2f s  peak %7.1f MB = %.2f x log\n", w, wk / 1024, memory
    printf "window / report: %.2f x time (target <= 1.5), %.2f x log memory (target < 4)\n", ratio, memory
    if (ratio > 1.5 || memory >= 4) { print "target missed"; exit 1 }
    print "targets met"
}'
