#!/usr/bin/env bash
# Reference lists of 1, 5 and 50 MB: the time to prepare each for searching
# and the memory its search form holds, then a whole run of the report tool
# on a generated log with each as the robot list, beside a run with the
# default lists on the same log.  With REFERENCE_BUILD, the same runs of that
# build's report tool are measured beside (lists it can't hold are skipped).
#   bench/large_lists_bench.sh [BUILD_DIR] [LINES] [REFERENCE_BUILD]
source "$(dirname "$0")/common.sh"
bench_setup "${1:-build}" "${2:-100000}" 7
reference=$(build_folder "${3:-}")
materia=$scratch
cp defaults/materia/*.dat "$materia"/

run_report() {  # LABEL BUILD: the run on the lists now in $materia
    read -r s k < <(measure "$2/pomurina-report" --dump --materia "$materia" "$log")
    printf "  %-28s %6.2f s  peak %7.1f MB\n" "$1" "$s" "$(awk -v k="$k" 'BEGIN{print k/1024}')"
}

cmake --build "$build" --target pomurina-listbench > /dev/null
echo "log: $lines lines"
echo "default lists:"
run_report "report" "$build"
[ -n "$reference" ] && run_report "reference report" "$reference"
for mb in 1 5 50; do
    list=$(generated_list $((mb * 1000000)) 1)
    echo "robot list of $mb MB:"
    "$build/pomurina-listbench" "$list" "$log" | sed 's/^/  /'
    cp "$list" "$materia/SERobotsList.dat"
    run_report "report" "$build"
    if [ -n "$reference" ] && [ "$mb" -le 1 ]; then run_report "reference report" "$reference"; fi
    cp defaults/materia/SERobotsList.dat "$materia/"
done
