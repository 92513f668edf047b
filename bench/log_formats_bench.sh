#!/bin/bash
# Reading speed of each log format against the combined log it was written
# from, in the same run: the report tool's text summary (the streamed path)
# and --json (the whole-log path) on the combined log and on its virtual-host
# prefixed, LTSV, W3C and CloudFront forms (written by the formats test's own
# converter), best of three, with peak memory, and the CPU time of one more
# run (user + system: what a loaded machine changes least).
#   bench/log_formats_bench.sh [BUILD] [LINES | LOG]   (default: build, 1000000)
source "$(dirname "$0")/common.sh"
here=$(cd "$(dirname "$0")" && pwd)
what=${2:-1000000}
if [ -f "$what" ]; then
    bench_setup "${1:-build}"
    log=$what
else
    bench_setup "${1:-build}" "$what" 26
fi
cmake --build "$build" --target pomurina-report > /dev/null
materia=$scratch/materia
cp -r "$here/../defaults/materia" "$materia"

/usr/bin/python3 - "$here/../tests/report" "$here/../tests/core/insight" "$log" "$scratch" <<'PY'
import sys
sys.dont_write_bytecode = True
sys.path[:0] = sys.argv[1:3]
import check_log_formats as c
import insight_model as m
lines = m.lines_of(open(sys.argv[3], "rb").read())
for kind, convert, header in [
        ("vhost", c.vhost_line, None), ("ltsv", c.ltsv_line, None),
        ("w3c", c.w3c_line, b"#Version: 1.0\n#Fields: " + c.W3C_FIELDS),
        ("cloudfront", c.cloudfront_line, b"#Version: 1.0\n#Fields: " + c.CLOUDFRONT_FIELDS)]:
    with open("%s/log.%s" % (sys.argv[4], kind), "wb") as f:
        f.write(c.written(m, lines, convert, header))
PY
ln -s "$log" "$scratch/log.combined"

echo "lines: $(wc -l < "$log"), combined: $(megabytes "$(stat -c %s "$log")") MB"
printf "%-11s %-8s %9s %12s %8s %9s %8s %8s\n" format output seconds lines/s "x comb." "peak MB" \
    "cpu s" "x comb."
for output in summary json; do
    options=()
    [ "$output" = json ] && options=(--json)
    base=""
    for kind in combined vhost ltsv w3c cloudfront; do
        file=$scratch/log.$kind
        cat "$file" > /dev/null
        read -r seconds kib < <(TZ=UTC measure "$build/pomurina-report" --materia "$materia" \
            "${options[@]}" "$file")
        TZ=UTC /usr/bin/time -f "%U %S" -o "$scratch/cpu" "$build/pomurina-report" \
            --materia "$materia" "${options[@]}" "$file" > /dev/null 2>&1
        cpu=$(awk '{ print $1 + $2 }' "$scratch/cpu")
        [ -z "$base" ] && base=$seconds && baseCpu=$cpu
        count=$(grep -vc '^#' "$file" || true)
        awk -v k="$kind" -v o="$output" -v s="$seconds" -v n="$count" -v b="$base" -v m="$kib" \
            -v c="$cpu" -v bc="$baseCpu" 'BEGIN { printf "%-11s %-8s %9.3f %12.0f %8.2f %9.1f %8.2f %8.2f\n",
                k, o, s, n / s, b / s, m / 1024, c, bc / c }'
    done
done
