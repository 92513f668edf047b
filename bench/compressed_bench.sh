#!/usr/bin/env bash
# Times compressed logs: for every format, the report tool's summary of the
# compressed log beside the format's own tool decompressing it to /dev/null
# and the summary of the plain log, all in the same run, with peak memory.
# Medians of three.  The aim for gzip: at most 1.25 x the longer of zcat and
# the plain summary.
#   bench/compressed_bench.sh [BUILD_DIR] [LINES]
source "$(dirname "$0")/common.sh"
bench_setup "${1:-build}" "${2:-1000000}" 1
dir=$scratch
compressed_forms "$log" "$dir"
cat "$dir"/log.* > /dev/null  # warm the page cache
read -r plain_s plain_k < <(measure_median "$build/pomurina-report" "$log")
printf "log: %d lines, %s MB\n" "$lines" "$(megabytes "$bytes")"
printf "%-6s %9s %8s %8s %8s %9s %10s\n" form "size MB" "tool s" "plain s" "report s" "ratio" "peak MB"
printf "%-6s %9.1f %8s %8.2f %8.2f %9s %10.1f\n" plain "$(megabytes "$bytes")" - \
    "$plain_s" "$plain_s" - "$(awk -v k="$plain_k" 'BEGIN{print k/1024}')"
for form in gz:zcat bz2:bzcat xz:xzcat zst:zstdcat; do
    ext=${form%%:*} tool=${form#*:}
    file=$dir/log.$ext
    read -r tool_s _ < <(measure_median sh -c "$tool '$file' > /dev/null")
    read -r report_s report_k < <(measure_median "$build/pomurina-report" "$file")
    awk -v f="$ext" -v size="$(stat -c %s "$file")" -v t="$tool_s" -v p="$plain_s" -v r="$report_s" \
        -v k="$report_k" 'BEGIN {
        longer = t > p ? t : p
        printf "%-6s %9.1f %8.2f %8.2f %8.2f %8.2fx %10.1f\n", f, size / 1e6, t, p, r, r / longer, k / 1024
    }'
done
echo "ratio: the report's time over the longer of the tool's and the plain summary's"
