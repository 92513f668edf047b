#!/usr/bin/env bash
# Times the JSON and HTML reports on a generated log beside the plain summary
# of the same log in the same run, with peak memory and the reports' sizes.
#   bench/report_formats_bench.sh [BUILD_DIR] [LINES]
source "$(dirname "$0")/common.sh"
bench_setup "${1:-build}" "${2:-1000000}" 1
out=$scratch
read -r sum_s sum_k < <(measure "$build/pomurina-report" "$log")
read -r json_s json_k < <(measure "$build/pomurina-report" --json "$log")
read -r full_s full_k < <(measure "$build/pomurina-report" --json --with-log "$log")
read -r html_s html_k < <(measure "$build/pomurina-report" --html "$out/report.html" "$log")
json_bytes=$("$build/pomurina-report" --json "$log" | wc -c)
full_bytes=$("$build/pomurina-report" --json --with-log "$log" | wc -c)
html_bytes=$(stat -c %s "$out/report.html")

awk -v lines="$lines" -v bytes="$bytes" -v s="$sum_s" -v sk="$sum_k" \
    -v j="$json_s" -v jk="$json_k" -v jb="$json_bytes" -v f="$full_s" -v fk="$full_k" -v fb="$full_bytes" \
    -v h="$html_s" -v hk="$html_k" -v hb="$html_bytes" 'BEGIN {
    printf "log: %d lines, %.1f MB\n", lines, bytes / 1e6
    row("summary (reference)", s, sk, 0)
    row("--json", j, jk, jb)
    row("--json --with-log", f, fk, fb)
    row("--html", h, hk, hb)
}
function row(name, t, k, out) {
    printf "%-20s %6.2f s  %5.2f x summary  peak %6.1f MB = %.2f x summary", name, t, t / (s > 0 ? s : 0.01), k / 1024, k / sk
    if (out > 0) printf "  output %7.1f MB", out / 1e6
    printf "\n"
}'
