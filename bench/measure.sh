# Shared by the benchmark scripts (sourced).
# generated_log LINES SEED: the path of a generated log, made once.
generated_log() {
    local path=${TMPDIR:-/tmp}/pomurina-bench-$1-$2.log
    [ -s "$path" ] || "$build/pomurina-genlog" --lines "$1" --seed "$2" > "$path"
    echo "$path"
}

# compressed_forms SRC DIR: SRC compressed by the formats' own tools, as
# DIR/log.gz, DIR/log.bz2, DIR/log.xz and DIR/log.zst.
compressed_forms() {
    gzip -c "$1" > "$2/log.gz"
    bzip2 -c "$1" > "$2/log.bz2"
    xz -T1 -c "$1" > "$2/log.xz"
    zstd -q -c "$1" > "$2/log.zst"
}

# measure COMMAND...: the best of three wall times (s) and the highest peak memory (KiB).
measure() {
    local best="" peak=0 times seconds kib
    times=$(mktemp)
    for _ in 1 2 3; do
        /usr/bin/time -f "%e %M" -o "$times" "$@" > /dev/null 2>&1
        read -r seconds kib < "$times"
        if [ -z "$best" ] || awk "BEGIN{exit !($seconds < $best)}"; then best=$seconds; fi
        [ "$kib" -gt "$peak" ] && peak=$kib
    done
    rm -f "$times"
    echo "$best $peak"
}

# measure_median COMMAND...: the median of three wall times (s, to the
# microsecond) and the highest peak memory (KiB).
measure_median() {
    local times start kib peak=0 all=()
    times=$(mktemp)
    for _ in 1 2 3; do
        start=$EPOCHREALTIME
        /usr/bin/time -f "%M" -o "$times" "$@" > /dev/null 2>&1 || true
        all+=("$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.6f", b - a }')")
        read -r kib < "$times"
        [ "$kib" -gt "$peak" ] && peak=$kib
    done
    rm -f "$times"
    echo "$(printf '%s\n' "${all[@]}" | sort -g | sed -n 2p) $peak"
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
