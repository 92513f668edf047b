#!/usr/bin/env bash
# Lines a second of the report tool's summary and --dump and of the window's
# --dump-state (offscreen) on generated logs of 100,000, 1,000,000 and
# 3,000,000 lines, beside `wc -l` on the same file in the same run: medians of
# three, with the highest peak memory as a multiple of the log's size.  Given
# a second build folder (say one of an older tree), it is measured in the same
# run, log by log, for a before-and-after table.
#   bench/speed_bench.sh [BUILD_DIR] [REFERENCE_BUILD_DIR] [LINES...]
source "$(dirname "$0")/common.sh"
bench_setup "${1:-build}"
reference=$(build_folder "${2:-}")
shift $(($# > 2 ? 2 : $#))
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(100000 1000000 3000000)

echo "load: $(uptime | sed 's/.*load average/load average/')"
printf '%-9s %-10s %-15s %8s %12s %9s %8s\n' lines build program seconds lines/s "peak MB" "x log"
row() {  # LINES BUILD PROGRAM SECONDS KIB BYTES
    awk -v l="$1" -v b="$2" -v p="$3" -v s="$4" -v k="$5" -v bytes="$6" 'BEGIN {
        printf "%-9d %-10s %-15s %8.3f %12.0f %9.1f %8.2f\n", l, b, p, s, l / (s > 0 ? s : 0.001), k / 1024, k * 1024 / bytes }'
}
for lines in "${sizes[@]}"; do
    log=$(generated_log "$lines" 1)
    bytes=$(stat -c %s "$log")
    cat "$log" > /dev/null  # warm the page cache
    read -r s k < <(measure_median wc -l "$log")
    row "$lines" - "wc -l" "$s" "$k" "$bytes"
    for dir in "$build" ${reference:+"$reference"}; do
        name=new
        [ "$dir" = "$build" ] || name=reference
        read -r s k < <(measure_median "$dir/pomurina-report" "$log")
        row "$lines" "$name" summary "$s" "$k" "$bytes"
        read -r s k < <(measure_median "$dir/pomurina-report" --dump "$log")
        row "$lines" "$name" "--dump" "$s" "$k" "$bytes"
        # The window program finds materia/ beside it when started from its folder.
        read -r s k < <(cd "$dir" && QT_QPA_PLATFORM=offscreen measure_median ./pomurina --dump-state /dev/null "$log")
        row "$lines" "$name" "--dump-state" "$s" "$k" "$bytes"
    done
done
