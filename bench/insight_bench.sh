#!/usr/bin/env bash
# What the insight adds to a run: its reading alone on a generated log (one
# part on one thread, and batches on two threads merged in order), beside
# the report tool's --html on the same log (median of three, peak memory as
# a multiple of the log) for the scale of today's run.
#   bench/insight_bench.sh [BUILD_DIR] [LINES]
set -euo pipefail
build=${1:-build}
lines=${2:-1000000}
source "$(dirname "$0")/common.sh"
build=$(cd "$build" && pwd)
log=$(generated_log "$lines" 1)
bytes=$(stat -c %s "$log")
cat "$log" > /dev/null  # warm the page cache
echo "load: $(uptime | sed 's/.*load average/load average/')"
out=$(mktemp -d)
read -r s k < <(measure_median "$build/pomurina-report" --html "$out/report.html" "$log")
rm -rf "$out"
awk -v s="$s" -v k="$k" -v b="$bytes" -v l="$lines" 'BEGIN {
    printf "pomurina-report --html: %.3f s wall, %.0f ns a line, peak %.0f MB = %.2f x log\n", s, s * 1e9 / l, k / 1024, k * 1024 / b }'
cmake --build "$build" --target pomurina-insight-bench > /dev/null
"$build/pomurina-insight-bench" "$log" "$(dirname "$0")/../defaults/materia" 2
