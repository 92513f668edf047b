#!/usr/bin/env bash
# Builds ポムリナ and runs the whole test suite: the normal build and
# clang-tidy's checks, then the same tests built with AddressSanitizer and
# UndefinedBehaviorSanitizer, then the fuzz targets for a bounded total time.
# --quick runs the normal build and its tests only.
set -euo pipefail
cd "$(dirname "$0")"
quick=0
[ "${1:-}" = "--quick" ] && quick=1
# Each stage's start, with the seconds since the first: where the time goes.
stage() { echo "== $1 ($SECONDS s)"; }
source scripts/setup.sh
pomurina_install_missing
stage build

pomurina_build build -DPOMURINA_WERROR=ON
stage tests
ctest --test-dir build --output-on-failure -j "$(nproc)"
[ $quick = 1 ] && exit 0
stage tidy
scripts/tidy.sh

# Warnings are held by the build above: the sanitizers' instrumentation makes
# g++ warn of values it can't follow (maybe-uninitialized) that are set.
# -O1 and line tables only: a third less compiling, and the sanitizers'
# reports still name files and lines.
stage "sanitizers' build"
pomurina_build build-sanitize -DPOMURINA_WERROR=OFF -DPOMURINA_SANITIZE=ON \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"
stage "sanitizers' tests"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0 \
    ctest --test-dir build-sanitize --output-on-failure -j "$(nproc)"

stage fuzzing
scripts/fuzz.sh "${POMURINA_FUZZ_SECONDS:-120}"
stage done
