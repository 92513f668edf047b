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
