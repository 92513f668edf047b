# Sourced by every benchmark script: strict mode, finding the build, the
# generated inputs and the timing.
set -euo pipefail

# bench_setup BUILD [LINES SEED]: sets build (the build folder, absolute)
# and scratch (a folder removed at exit); with LINES, also lines, log (a
# generated log of LINES lines, made once, read into the page cache) and
# bytes (its size).
bench_setup() {
    [ -d "$1" ] || { echo "no build folder $1: configure and build first" >&2; exit 2; }
    build=$(cd "$1" && pwd)
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    if [ $# -ge 3 ]; then
        lines=$2
        log=$(generated_log "$2" "$3")
        bytes=$(stat -c %s "$log")
        cat "$log" > /dev/null
    fi
}

# build_folder DIR: DIR made absolute (for a second build measured beside), or "".
build_folder() {
    [ -z "$1" ] || (cd "$1" && pwd)
}

# generated_log LINES SEED: the path of a generated log, made once (the
# generator is built first when missing).
generated_log() {
    local path=${TMPDIR:-/tmp}/pomurina-bench-$1-$2.log
    [ -x "$build/pomurina-genlog" ] || cmake --build "$build" --target pomurina-genlog > /dev/null
    [ -s "$path" ] || "$build/pomurina-genlog" --lines "$1" --seed "$2" > "$path"
    echo "$path"
}

# megabytes BYTES: BYTES in MB (10^6), to one decimal.
megabytes() {
    awk -v b="$1" 'BEGIN { printf "%.1f", b / 1e6 }'
}

# compressed_forms SRC DIR: SRC compressed by the formats' own tools, as
# DIR/log.gz, DIR/log.bz2, DIR/log.xz and DIR/log.zst.
compressed_forms() {
    gzip -c "$1" > "$2/log.gz"
    bzip2 -c "$1" > "$2/log.bz2"
    xz -T1 -c "$1" > "$2/log.xz"
    zstd -q -c "$1" > "$2/log.zst"
}

# timed_runs COMMAND...: three runs, their output dropped; prints each wall
# time (s, to the microsecond) and then the highest peak memory (KiB).
timed_runs() {
    local times start kib peak=0
    times=$(mktemp)
    for _ in 1 2 3; do
        start=$EPOCHREALTIME
        /usr/bin/time -f "%M" -o "$times" "$@" > /dev/null 2>&1 || true
        awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.6f\n", b - a }'
        read -r kib < "$times"
        [ "$kib" -gt "$peak" ] && peak=$kib
    done
    rm -f "$times"
    echo "$peak"
}

# measure COMMAND...: the best of three wall times (s) and the highest peak memory (KiB).
measure() {
    timed_runs "$@" | awk 'NR < 4 && (NR == 1 || $1 < best) { best = $1 } NR == 4 { print best, $1 }'
}

# measure_median COMMAND...: the median of three wall times (s) and the
# highest peak memory (KiB).
measure_median() {
    timed_runs "$@" | awk 'NR < 4 { t[NR] = $1 } NR == 4 {
        lo = t[1] < t[2] ? t[1] : t[2]; hi = t[1] < t[2] ? t[2] : t[1]
        print (t[3] < lo ? lo : t[3] > hi ? hi : t[3]), $1 }'
}

# generated_list BYTES SEED: the path of a generated reference list of about
# BYTES bytes (robot-like strings and host names, CR LF ends), made once.
generated_list() {
    local path=${TMPDIR:-/tmp}/pomurina-bench-list-$1-$2.dat
    [ -s "$path" ] || awk -v bytes="$1" -v seed="$2" 'BEGIN {
        srand(seed)
        split("Googlebot bingbot YandexBot Baiduspider AhrefsBot SemrushBot MJ12bot DotBot PetalBot crawler spider archiver", names, " ")
        split("jp com net org ne.jp co.jp or.jp", tops, " ")
        for (total = 0; total < bytes; total += length(entry) + 2) {
            if (rand() < 0.5)
                entry = sprintf("%s-%x/%d.%d", names[1 + int(rand() * 12)], int(rand() * 16777216), int(rand() * 10), int(rand() * 100))
            else
                entry = sprintf("host%d.example-%x.%s", int(rand() * 1000000), int(rand() * 65536), tops[1 + int(rand() * 7)])
            printf "%s\r\n", entry
        }
    }' > "$path"
    echo "$path"
}
