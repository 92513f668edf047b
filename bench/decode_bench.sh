#!/usr/bin/env bash
# pomurina-report --decode on one line of 50, 100 and 200 MB without a line
# end, beside 200 MB of ordinary lines, in the same run.  With REFERENCE_BUILD
# the same inputs go through that build's tool too.
#   bench/decode_bench.sh [BUILD_DIR] [REFERENCE_BUILD]
source "$(dirname "$0")/common.sh"
bench_setup "${1:-build}"
reference=$(build_folder "${2:-}")
dir=$scratch
head -c 200000000 /dev/zero | tr '\0' 'a' > "$dir/line200"
head -c 100000000 "$dir/line200" > "$dir/line100"
head -c 50000000 "$dir/line200" > "$dir/line50"
(yes 'http://example.jp/search?q=%E6%97%85%E8%A1%8C&page=2' || true) | head -c 200000000 > "$dir/lines200"

decode() { "$1/pomurina-report" --decode < "$2"; }
for input in line50 line100 line200 lines200; do
    read -r s k < <(measure bash -c "$(declare -f decode); decode '$build' '$dir/$input'")
    printf "%-9s %7.2f s  peak %6.1f MB" "$input" "$s" "$(awk -v k="$k" 'BEGIN{print k/1024}')"
    if [ -n "$reference" ]; then
        read -r rs rk < <(measure bash -c "$(declare -f decode); decode '$reference' '$dir/$input'")
        printf "   reference %7.2f s" "$rs"
    fi
    echo
done
