#!/usr/bin/env bash
# Runs clang-tidy (the checks in .clang-tidy) over the program's own sources
# in src/ and tools/.  Any finding fails the run.  It reads the compile
# commands of a build configured for it alone (build-tidy/, never built):
# clang can't read g++'s precompiled headers.
#   scripts/tidy.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-tidy
cmake -S . -B "$build" -G Ninja -DPOMURINA_PCH=OFF -DPOMURINA_TESTS=OFF >/dev/null
mapfile -t files < <(git ls-files 'src/*.cpp' 'tools/*.cpp')
out=$(mktemp)
trap 'rm -f "$out"' EXIT
status=0
run-clang-tidy -quiet -p "$build" -j "$(nproc)" "${files[@]}" >"$out" 2>&1 || status=$?
# The findings with their source lines; not the tool's own chatter.
grep -E -A2 '(warning|error): ' "$out" | grep -v -E '^(--|[0-9]+ warnings? (and [0-9]+ errors? )?generated)' || true
[ $status -eq 0 ] && echo "tidy: ${#files[@]} files, no findings"
exit $status
