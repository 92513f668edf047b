#!/usr/bin/env bash
# Times opening the アクセス解析 window and sorting its hosts table by each
# column, on a made-up insight with HOSTS hosts (default 1,000,000).
#   bench/insight_window_bench.sh [BUILD_DIR] [HOSTS]
source "$(dirname "$0")/common.sh"
bench_setup "${1:-build}"
cmake --build "$build" --target pomurina-insight-window-bench > /dev/null
"$build/pomurina-insight-window-bench" "${2:-1000000}"
