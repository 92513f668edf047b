#!/usr/bin/env bash
# The report tool of two builds timed in alternating runs on one generated
# log, with the same lists: the medians of each, wall time and processor time
# (user and system, steadier on a busy machine), and their ratios (new over
# reference; below 1 is faster), and the highest peak memory of each, also as
# a multiple of the log's size.  The report options default to --html.
#   bench/versus_bench.sh BUILD_DIR REFERENCE_BUILD_DIR [LINES] [ROUNDS] [OPTION...]
set -euo pipefail
build=$(cd "${1:?BUILD_DIR}" && pwd)
reference=$(cd "${2:?REFERENCE_BUILD_DIR}" && pwd)
lines=${3:-1000000}
rounds=${4:-9}
shift $(($# > 4 ? 4 : $#))
options=("$@")
source "$(dirname "$0")/common.sh"
log=$(generated_log "$lines" 1)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
[ ${#options[@]} -gt 0 ] || options=(--html "$work/report.html")
materia=$(cd "$(dirname "$0")/../defaults/materia" && pwd)

cat "$log" > /dev/null  # warm the page cache
once() {  # BUILD NAME: appends the wall and the processor time (s) and the peak memory (KiB) of one run
    /usr/bin/time -f "%e %U %S %M" -o "$work/time" \
        "$1/pomurina-report" --materia "$materia" "${options[@]}" "$log" > /dev/null 2>&1 || true
    awk '{ print $1 >> "'"$work/$2.walls"'"; print $2 + $3 >> "'"$work/$2.cpus"'"
           print $4 >> "'"$work/$2.peaks"'" }' "$work/time"
}
once "$build" settle  # one run each to settle
once "$reference" settle
for ((i = 0; i < rounds; ++i)); do
    once "$build" new
    once "$reference" reference
done
median() { sort -g "$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
echo "load: $(uptime | sed 's/.*load average/load average/')"
echo "pomurina-report ${options[*]}, $lines lines, $rounds alternating rounds (medians)"
for kind in wall cpu; do
    awk -v k="$kind" -v n="$(median "$work/new.${kind}s")" -v o="$(median "$work/reference.${kind}s")" 'BEGIN {
        printf "%-4s new %.3f s, reference %.3f s: new / reference = %.3f\n", k, n, o, n / o }'
done
bytes=$(stat -c %s "$log")
for name in new reference; do
    sort -g "$work/$name.peaks" | tail -1 | awk -v n="$name" -v b="$bytes" '{
        printf "peak %s %.1f MB = %.2f x log\n", n, $1 * 1024 / 1e6, $1 * 1024 / b }'
done
