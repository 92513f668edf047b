#!/usr/bin/env bash
# The report tool of two builds timed in alternating runs on one generated
# log, with the same lists: the median of each and their ratio (new over
# reference; below 1 is faster).  The report options default to --html.
#   bench/versus_bench.sh BUILD_DIR REFERENCE_BUILD_DIR [LINES] [ROUNDS] [OPTION...]
set -euo pipefail
build=$(cd "${1:?BUILD_DIR}" && pwd)
reference=$(cd "${2:?REFERENCE_BUILD_DIR}" && pwd)
lines=${3:-1000000}
rounds=${4:-9}
shift $(($# > 4 ? 4 : $#))
options=("$@")
source "$(dirname "$0")/measure.sh"
log=$(generated_log "$lines" 1)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
[ ${#options[@]} -gt 0 ] || options=(--html "$work/report.html")
materia=$(cd "$(dirname "$0")/../defaults/materia" && pwd)

cat "$log" > /dev/null  # warm the page cache
once() {  # BUILD: the wall time of one run, in seconds
    local start=$EPOCHREALTIME
    "$1/pomurina-report" --materia "$materia" "${options[@]}" "$log" > /dev/null 2>&1 || true
    awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.6f\n", b - a }'
}
once "$build" > /dev/null  # one run each to settle
once "$reference" > /dev/null
for ((i = 0; i < rounds; ++i)); do
    once "$build" >> "$work/new"
    once "$reference" >> "$work/reference"
done
median() { sort -g "$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
new=$(median "$work/new")
old=$(median "$work/reference")
echo "load: $(uptime | sed 's/.*load average/load average/')"
awk -v n="$new" -v o="$old" -v r="$rounds" -v l="$lines" -v opt="${options[*]}" 'BEGIN {
    printf "pomurina-report %s, %d lines, %d alternating rounds\n", opt, l, r
    printf "new %.3f s, reference %.3f s (medians): new / reference = %.3f\n", n, o, n / o
}'
