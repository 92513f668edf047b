#!/usr/bin/env bash
# Times the report tool's summary and dump on a generated log beside `wc -l`
# on the same file in the same run, with peak memory.
#   bench/report_bench.sh [BUILD_DIR] [LINES]
set -euo pipefail
build=${1:-build}
lines=${2:-1000000}
source "$(dirname "$0")/measure.sh"
log=$(generated_log "$lines" 1)
bytes=$(stat -c %s "$log")

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
