#!/usr/bin/env bash
# The report tool's summary and dump (and the window's --dump-state) on one
# generated log beside `wc -l` in the same run: speed_bench.sh at one size.
#   bench/report_bench.sh [BUILD_DIR] [LINES]
set -euo pipefail
exec "$(dirname "$0")/speed_bench.sh" "${1:-build}" "" "${2:-1000000}"
