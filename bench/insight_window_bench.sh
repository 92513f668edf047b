#!/usr/bin/env bash
# Times opening the アクセス解析 window and sorting its hosts table by each
# column: on a made-up insight with HOSTS hosts (default 1,000,000), or on
# the insight of a generated log of LINES lines ("3000000-lines"), or of LOG.
#   bench/insight_window_bench.sh [BUILD_DIR] [HOSTS | LINES-lines | LOG]
source "$(dirname "$0")/common.sh"
bench_setup "${1:-build}"
cmake --build "$build" --target pomurina-insight-window-bench pomurina_data > /dev/null
what="${2:-1000000}"
[[ "$what" == *-lines ]] && what=$(generated_log "${what%-lines}" 1)
"$build/pomurina-insight-window-bench" "$what"
