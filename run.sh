#!/usr/bin/env bash
# Builds ポムリナ and starts it; an optional log file is analysed right after start-up.
set -euo pipefail
cd "$(dirname "$0")"
start_dir=$OLDPWD
source scripts/setup.sh
pomurina_install_missing
pomurina_build build
log=()
if [ $# -ge 1 ]; then
    case "$1" in /*) log=("$1") ;; *) log=("$start_dir/$1") ;; esac
fi
# The list manager reads materia/ relative to the directory the program is
# started in, so start it beside its data.
cd build
exec ./pomurina "${log[@]}"
