#!/usr/bin/env bash
# Runs clang-tidy (the checks in .clang-tidy) over the program's own sources
# in src/ and tools/, with the compile commands of a configured build.
# Any finding fails the run.
#   scripts/tidy.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
[ -f "$build/compile_commands.json" ] || { echo "tidy: no $build/compile_commands.json" >&2; exit 1; }
mapfile -t files < <(git ls-files 'src/*.cpp' 'tools/*.cpp')
out=$(mktemp)
trap 'rm -f "$out"' EXIT
status=0
run-clang-tidy -quiet -p "$build" -j "$(nproc)" "${files[@]}" >"$out" 2>&1 || status=$?
# The findings with their source lines; not the tool's own chatter.
grep -E -A2 '(warning|error): ' "$out" | grep -v -E '^(--|[0-9]+ warnings? (and [0-9]+ errors? )?generated)' || true
[ $status -eq 0 ] && echo "tidy: ${#files[@]} files, no findings"
exit $status
