#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer and runs each for a bounded
# time.  Seeds: the committed corpus and slices of the real public logs.
# A crash fails the run; its reproducer is kept in build-fuzz/artifacts/.
#   scripts/fuzz.sh [SECONDS_PER_TARGET]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DPOMURINA_FUZZ=ON -DPOMURINA_WERROR=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build"

reallogs=../shared/data/reallogs
# Absolute paths: the runs change the current directory.
work=$(pwd)/$build/work
artifacts=$(pwd)/$build/artifacts
rm -rf "$work"
mkdir -p "$work" "$artifacts"
status=0
for fuzzer in "$build"/tests/fuzz/*_fuzz; do
    name=$(basename "$fuzzer" _fuzz)
    corpus=$work/$name
    mkdir -p "$corpus"
    cp tests/fuzz/corpus/"$name"/* "$corpus"/ 2>/dev/null || true
    if [ -d "$reallogs" ]; then
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
    fi
    echo "== $name: ${seconds}s"
    log=$work/$name.log
    if ! ASAN_OPTIONS=detect_leaks=1 "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
            -max_len=65536 -timeout=20 -rss_limit_mb=4096 -artifact_prefix="$artifacts/$name-" "$corpus" > "$log" 2>&1; then
        echo "FAILED: $name (reproducer in $artifacts)"
        tail -n 40 "$log"
        status=1
    fi
    # Executions and coverage reached.
    grep -E '^#[0-9]+.*(DONE|cov:)' "$log" | tail -n 1 || true
    grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$log" || true
done
exit $status
