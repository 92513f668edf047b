#!/usr/bin/env bash
# Builds ポムリナ and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
pomurina_install_missing
pomurina_build build -DPOMURINA_WERROR=ON
ctest --test-dir build --output-on-failure -j "$(nproc)"
