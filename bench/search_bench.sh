#!/usr/bin/env bash
# Times a search through a raw-log pane of a generated log whose last line
# alone holds the terms (one Japanese, in Shift-JIS, one ASCII), beside
# grep -c -F on the same file in the same run.
#   bench/search_bench.sh [BUILD_DIR] [LINES]
source "$(dirname "$0")/common.sh"
bench_setup "${1:-build}"
lines=${2:-1000000}
cmake --build "$build" --target pomurina-search-bench > /dev/null
base=$(generated_log "$((lines - 1))" 1)
log=${TMPDIR:-/tmp}/pomurina-search-$lines.log
japanese=$(printf '%s' 'ポムリナ終点' | iconv -f UTF-8 -t CP932)
ascii=PomurinaEnd
if [ ! -s "$log" ]; then
    cp "$base" "$log"
    printf '192.0.2.1 - - [06/Dec/2026:23:59:59 +0900] "GET /%s/%s HTTP/1.1" 200 1 "-" "-"\n' \
        "$japanese" "$ascii" >> "$log"
fi
for term in "$japanese" "$ascii"; do
    hits=$(LC_ALL=C grep -c -i -F -- "$term" "$log" || true)
    [ "$hits" = 1 ] || { echo "a term is on $hits lines, not one"; exit 1; }
done

# best_of_three COMMAND...: the shortest wall time of three runs, in seconds.
best_of_three() {
    measure "$@" | awk '{ printf "%.3f", $1 }'
}

cat "$log" > /dev/null  # warm the page cache
echo "log: $lines lines, $(awk -v b="$(stat -c %s "$log")" 'BEGIN{printf "%.1f MB", b/1e6}'), the terms on the last line only"
for term in "$japanese" "$ascii"; do
    shown=$(printf '%s' "$term" | iconv -f CP932 -t UTF-8)
    echo "grep -c -F    \"$shown\" (whole process) $(LC_ALL=C best_of_three grep -c -F -- "$term" "$log") s"
    echo "grep -c -i -F \"$shown\" (whole process) $(LC_ALL=C best_of_three grep -c -i -F -- "$term" "$log") s"
done
"$build/pomurina-search-bench" "$log" "$japanese" "$ascii"
