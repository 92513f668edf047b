#!/usr/bin/env bash
# The log archive against plain analysis, in the same run: importing a log
# into an empty archive beside analysing it (the aim: at most 2.5 x), and
# analysing its days from the archive (--archive with a month's --from/--to)
# beside analysing the same lines as one plain file (the aim: at most
# 1.5 x).  Medians of three, with peak memory; exits 1 on a miss.
#   bench/archive_bench.sh [BUILD_DIR] [LOG | LINES]
source "$(dirname "$0")/common.sh"
if [ -f "${2:-}" ]; then
    bench_setup "${1:-build}"
    log=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
    cat "$log" > /dev/null
else
    bench_setup "${1:-build}" "${2:-1000000}" 1
fi
# A portable copy: the archive goes into the scratch folder, not the build's.
cp "$build/pomurina-report" "$scratch/"
cp -r "$(dirname "$0")/../defaults/materia" "$scratch/"
tool=$scratch/pomurina-report

read -r analyse_s analyse_k < <(measure_median "$tool" "$log")
read -r import_s import_k < <(measure_median sh -c "rm -rf '$scratch/archive'; '$tool' --import bench '$log'")
"$tool" --import bench "$log" > /dev/null  # the archive the month is read from

# The month of the log's first day, from the archive and as the same lines in one file.
first=$("$tool" --archive-list | awk -F '\t' 'NR == 1 { print $2 }')
month=${first%-*}
for day in "$scratch"/archive/bench/"${month%-*}"/"${month#*-}"/*.log.zst; do zstd -dcq "$day"; done \
    > "$scratch/month.log"
read -r plain_s plain_k < <(measure_median "$tool" "$scratch/month.log")
read -r month_s month_k < <(measure_median "$tool" --archive bench --from "$month-01" --to "$month-31")

printf "log: %s lines, %s MB; archive %s MB; the month %s: %s lines\n" "$(wc -l < "$log")" \
    "$(megabytes "$(stat -c %s "$log")")" "$(megabytes "$(du -sb "$scratch/archive" | cut -f1)")" \
    "$month" "$(wc -l < "$scratch/month.log")"
awk -v a="$analyse_s" -v ak="$analyse_k" -v i="$import_s" -v ik="$import_k" \
    -v p="$plain_s" -v pk="$plain_k" -v m="$month_s" -v mk="$month_k" 'BEGIN {
    printf "%-28s %8s %10s\n", "", "s", "peak MB"
    printf "%-28s %8.2f %10.1f\n", "analysing the log", a, ak / 1024
    printf "%-28s %8.2f %10.1f   %.2fx (aim <= 2.5x)\n", "importing it", i, ik / 1024, i / a
    printf "%-28s %8.2f %10.1f\n", "the month as a plain file", p, pk / 1024
    printf "%-28s %8.2f %10.1f   %.2fx (aim <= 1.5x)\n", "the month from the archive", m, mk / 1024, m / p
    exit (i / a > 2.5 || m / p > 1.5) ? 1 : 0
}'
