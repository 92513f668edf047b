#!/usr/bin/env bash
# Builds ポムリナ and starts it; log files given are analysed as one log right after start-up.
set -euo pipefail
cd "$(dirname "$0")"
start_dir=$OLDPWD
source scripts/setup.sh
pomurina_install_missing
pomurina_build build
logs=()
for log in "$@"; do
    case "$log" in /*) logs+=("$log") ;; *) logs+=("$start_dir/$log") ;; esac
done
# The list manager reads materia/ relative to the directory the program is
# started in, so start it beside its data.
cd build
exec ./pomurina "${logs[@]}"
