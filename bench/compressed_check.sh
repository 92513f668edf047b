#!/usr/bin/env bash
# Checks that compressed and split logs give the plain log's analysis: for
# every real log and a generated one, the dumps of the report tool and of the
# window program on its .gz, .bz2, .xz and .zst forms, on a two-member gzip
# and on the log cut into three files (the first two without their last line
# end, the second compressed) equal the plain log's dump in every line but
# those that name the files (the file field, the progress lines and, for
# several files, their count).  Prints one line a check; exits 1 on a
# difference.
#   bench/compressed_check.sh [BUILD_DIR] [LINES] [SEED]
source "$(dirname "$0")/common.sh"
bench_setup "${1:-build}"
lines=${2:-1000000}
seed=${3:-7}
dir=$scratch
status=0

# The dump of the logs by the report tool and by the window (started from
# build/, offscreen), without the lines that name the files.
dumps() {
    local out=$1; shift
    "$build/pomurina-report" --dump "$@" > "$out.report" || true
    (cd "$build" && QT_QPA_PLATFORM=offscreen ./pomurina --dump-state "$out.window" "$@" 2>/dev/null) || true
    for program in report window; do
        LC_ALL=C grep -av -e "$dir" -e '^field Edit35 ' -e '^progress [0-9]' "$out.$program" > "$out.$program.kept" || true
    done
}

# check NAME FORM DUMPS: the dumps made as DUMPS against the plain log's.
check() {
    local name=$1 form=$2 dumped=$3 program
    for program in report window; do
        if cmp -s "$dir/plain.$program.kept" "$dir/$dumped.$program.kept"; then
            echo "same   $name $form ($program)"
        else
            echo "DIFFER $name $form ($program)"
            status=1
        fi
    done
}

logs=()
[ -d ../shared/data/reallogs ] && logs+=(../shared/data/reallogs/*.log)
logs+=("$(generated_log "$lines" "$seed")")
for source in "${logs[@]}"; do
    name=$(basename "$source")
    cp "$source" "$dir/log"
    dumps "$dir/plain" "$dir/log"
    compressed_forms "$dir/log" "$dir"
    for ext in gz bz2 xz zst; do
        dumps "$dir/$ext" "$dir/log.$ext"
        check "$name" "$ext" "$ext"
    done
    total=$(wc -l < "$dir/log")
    head -n $((total / 2)) "$dir/log" | gzip > "$dir/two.gz"
    tail -n +$((total / 2 + 1)) "$dir/log" | gzip >> "$dir/two.gz"
    dumps "$dir/two" "$dir/two.gz"
    check "$name" "two-member gzip" two
    # Three files: the first two lose their last line end.
    head -n $((total / 3)) "$dir/log" | head -c -1 > "$dir/part1"
    sed -n "$((total / 3 + 1)),$((2 * total / 3))p" "$dir/log" | head -c -1 | xz -T1 > "$dir/part2.xz"
    tail -n +$((2 * total / 3 + 1)) "$dir/log" > "$dir/part3"
    dumps "$dir/parts" "$dir/part1" "$dir/part2.xz" "$dir/part3"
    check "$name" "three files" parts
    rm -f "$dir"/log* "$dir"/two.gz "$dir"/part*
done
exit $status
