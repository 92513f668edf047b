#!/usr/bin/env bash
# Runs a generated log of at least 2 GB through the report tool: time, peak
# memory, and whether the counts came through whole (line count against wc -l).
#   bench/large_bench.sh [BUILD_DIR] [LINES]
source "$(dirname "$0")/common.sh"
bench_setup "${1:-build}" "${2:-10000000}" 7
start=$(date +%s.%N)
wc_lines=$(wc -l < "$log")
wc_s=$(echo "$(date +%s.%N) - $start" | bc)
/usr/bin/time -f "%e %M" -o $scratch/time "$build/pomurina-report" "$log" > $scratch/out
read -r seconds kib < $scratch/time
counted=$(grep -m1 '総接続数' $scratch/out | awk '{print $2}')
awk -v b="$bytes" -v l="$lines" -v s="$seconds" -v k="$kib" -v w="$wc_s" 'BEGIN {
    printf "log: %d lines, %.2f GB\n", l, b / 1e9
    printf "wc -l %.2f s; report %.2f s (%.0f lines/s, %.1f x wc); peak %.2f GB = %.2f x log\n", w, s, l / s, s / w, k / 1048576, k * 1024 / b }'
echo "lines counted: $counted, wc -l: $wc_lines"
[ "$counted" = "$wc_lines" ] || { echo "MISMATCH"; exit 1; }
grep -E '転送量' $scratch/out
