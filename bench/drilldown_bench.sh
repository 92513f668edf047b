#!/usr/bin/env bash
# How long the window's thread is kept while the raw-log pane is narrowed to
# the top row of each table of the analysis window, on a generated log of
# LINES lines (default 1,000,000) or on LOG.
#   bench/drilldown_bench.sh [BUILD_DIR] [LINES|LOG] [SHOTS]
source "$(dirname "$0")/common.sh"
bench_setup "${1:-build}"
cmake --build "$build" --target pomurina-drilldown-bench pomurina_data > /dev/null
log="${2:-1000000}"
[[ -f "$log" ]] || log=$(generated_log "$log" 1)
QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" "$build/pomurina-drilldown-bench" "$log" ${3:+"$3"}
