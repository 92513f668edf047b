# Shared by the benchmark scripts (sourced).
# generated_log LINES SEED: the path of a generated log, made once.
generated_log() {
    local path=${TMPDIR:-/tmp}/pomurina-bench-$1-$2.log
    [ -s "$path" ] || "$build/pomurina-genlog" --lines "$1" --seed "$2" > "$path"
    echo "$path"
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
