#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer and runs them, one per core
# at a time, sharing a total time: SECONDS is the whole stage's wall time.
# Seeds: the committed corpus and slices of the real public logs.
# A crash fails the run; its reproducer is kept in build-fuzz/artifacts/.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
total=${1:-120}
build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DPOMURINA_FUZZ=ON -DPOMURINA_WERROR=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build"

reallogs=../shared/data/reallogs
# Absolute paths: the runs change the current directory.
work=$(pwd)/$build/work
artifacts=$(pwd)/$build/artifacts
rm -rf "$work"
mkdir -p "$work" "$artifacts"
fuzzers=("$build"/tests/fuzz/*_fuzz)
cores=$(nproc)
# Every target gets the same share of the cores' time.
seconds=$(( total * cores / ${#fuzzers[@]} ))
[ "$seconds" -ge 5 ] || seconds=5

seed() {
    local name=$1 corpus=$2
    mkdir -p "$corpus"
    cp tests/fuzz/corpus/"$name"/* "$corpus"/ 2>/dev/null || true
    [ -d "$reallogs" ] || return 0
    # A few dozen short slices of every real log; the classifier's input
    # starts with its three (empty) lists.
    for log in "$reallogs"/*.log; do
        for start in 1 500 2000 7500; do
            slice=$corpus/$(basename "$log" .log)-$start
            case $name in
                classify) { printf '\376\376\376'; sed -n "${start},+15p" "$log"; } > "$slice" ;;
                dump) sed -n "${start},+15p" "$log" > "$slice" ;;
                urldecode) sed -n "${start},+3p" "$log" | head -c 2000 > "$slice" ;;
                *) ;;
            esac
        done
    done
}

# Runs one target; its outcome is left in $work/NAME.failed when it fails.
fuzz() {
    local fuzzer=$1 name
    name=$(basename "$fuzzer" _fuzz)
    seed "$name" "$work/$name"
    if ! ASAN_OPTIONS=detect_leaks=1 "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
            -max_len=65536 -timeout=20 -rss_limit_mb=4096 -artifact_prefix="$artifacts/$name-" \
            "$work/$name" > "$work/$name.log" 2>&1; then
        touch "$work/$name.failed"
    fi
}

echo "fuzzing ${#fuzzers[@]} targets for ${seconds}s each, $cores at a time"
running=0
for fuzzer in "${fuzzers[@]}"; do
    if [ $running -ge "$cores" ]; then wait -n || true; running=$((running - 1)); fi
    fuzz "$fuzzer" &
    running=$((running + 1))
done
wait

status=0
for fuzzer in "${fuzzers[@]}"; do
    name=$(basename "$fuzzer" _fuzz)
    log=$work/$name.log
    echo "== $name"
    if [ -e "$work/$name.failed" ]; then
        echo "FAILED: $name (reproducer in $artifacts)"
        tail -n 40 "$log"
        status=1
    fi
    # Executions and coverage reached.
    grep -E '^#[0-9]+.*(DONE|cov:)' "$log" | tail -n 1 || true
    grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$log" || true
done
exit $status
