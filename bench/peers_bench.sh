#!/usr/bin/env bash
# ポムリナ beside its peers on the same generated logs, in the same run: for
# 1M and 3M lines, the medians of wall and processor time and the highest
# peak memory of the report tool's summary, --html (also after a pause:
# html-cold) and --dump, the window's --dump-state (offscreen), Webalizer and
# GoAccess (each skipped when it isn't installed: this script installs
# nothing), and the ratios of --html to each peer.  With a REFERENCE_BUILD,
# its window's --dump-state is timed beside.  With BIG=1, a 30M-line log
# (about 6.5 GB, removed after) is generated and the summary's peak memory on
# it shown.
#   bench/peers_bench.sh BUILD_DIR [REFERENCE_BUILD_DIR] [ROUNDS]
set -euo pipefail
source "$(dirname "$0")/common.sh"
bench_setup "${1:?BUILD_DIR}"
reference=$(build_folder "${2:-}")
rounds=${3:-3}
materia=$(cd "$(dirname "$0")/../defaults/materia" && pwd)
export QT_QPA_PLATFORM=offscreen

# once NAME COMMAND...: appends the wall and processor time (s) and the peak
# memory (KiB) of one run to $scratch/NAME.*; the output goes to $scratch/out.
once() {
    local name=$1
    shift
    rm -rf "$scratch/out" && mkdir "$scratch/out"
    /usr/bin/time -f "%e %U %S %M" -o "$scratch/time" "$@" > /dev/null 2>&1 || true
    awk '{ print $1 >> "'"$scratch/$name.walls"'"; print $2 + $3 >> "'"$scratch/$name.cpus"'"
           print $4 >> "'"$scratch/$name.peaks"'" }' "$scratch/time"
}
median() {
    sort -g "$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

measure() {  # LINES
    local log bytes names=() name
    log=$(generated_log "$1" 1)
    bytes=$(stat -c %s "$log")
    cat "$log" > /dev/null
    rm -f "$scratch"/*.walls "$scratch"/*.cpus "$scratch"/*.peaks
    for ((i = 0; i < rounds; ++i)); do
        # On these machines memory a process frees goes back to the host
        # after a few seconds: a run after another that freed its memory a
        # moment ago reuses it, a run after a pause or a long peer faults
        # fresh memory in, and its kernel time doubles.  html-cold is such a
        # run, as a user starting the tool once meets it; a run not counted
        # then lets the others reuse memory, as the peers do after the window.
        sleep 5
        once html-cold "$build/pomurina-report" --materia "$materia" --html "$scratch/out/r.html" "$log"
        once settle "$build/pomurina-report" --materia "$materia" "$log"
        once summary "$build/pomurina-report" --materia "$materia" "$log"
        once html "$build/pomurina-report" --materia "$materia" --html "$scratch/out/r.html" "$log"
        once dump "$build/pomurina-report" --materia "$materia" --dump "$log"
        once window "$build/pomurina" --dump-state "$scratch/out/state" "$log"
        [ -z "$reference" ] || once window-ref "$reference/pomurina" --dump-state "$scratch/out/state" "$log"
        ! command -v webalizer > /dev/null ||
            once webalizer webalizer -Q -c /dev/null -o "$scratch/out" "$log"
        # GoAccess is slow: once a size is enough.
        [ "$i" -gt 0 ] || ! command -v goaccess > /dev/null ||
            once goaccess goaccess "$log" --log-format=COMBINED --no-global-config -o "$scratch/out/g.html"
    done
    echo "== $1 lines, $(megabytes "$bytes") MB; $rounds rounds (medians); $(uptime | sed 's/.*load average/load average/')"
    printf "%-11s %9s %9s %10s %8s\n" run wall_s cpu_s peak_MB x_log
    for name in summary html html-cold dump window window-ref webalizer goaccess; do
        [ -s "$scratch/$name.walls" ] || continue
        sort -g "$scratch/$name.peaks" | tail -1 | awk -v n="$name" -v w="$(median "$scratch/$name.walls")" \
            -v c="$(median "$scratch/$name.cpus")" -v b="$bytes" '{
            printf "%-11s %9.3f %9.3f %10.1f %8.2f\n", n, w, c, $1 * 1024 / 1e6, $1 * 1024 / b }'
    done
    for name in webalizer goaccess window-ref; do
        [ -s "$scratch/$name.walls" ] || continue
        awk -v n="$name" -v h="$(median "$scratch/html.walls")" -v p="$(median "$scratch/$name.walls")" \
            -v cold="$(median "$scratch/html-cold.walls")" -v w="$(median "$scratch/window.walls")" 'BEGIN {
            if (n == "window-ref") printf "window / reference window: %.2f x wall\n", w / p
            else printf "html / %s: %.3f x wall (%s is %.1f x slower); html-cold: %.3f x\n",
                        n, h / p, n, p / h, cold / p }'
    done
}

measure 1000000
measure 3000000
if [ "${BIG:-0}" = 1 ]; then
    big="$scratch/big.log"
    "$build/pomurina-genlog" --lines 30000000 --seed 1 > "$big"
    once big "$build/pomurina-report" --materia "$materia" "$big"
    rm -f "$big"
    awk '{ printf "30M lines: summary %.1f s wall, peak %.1f MB\n", $1, $4 * 1024 / 1e6 }' "$scratch/time"
fi
