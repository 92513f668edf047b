#!/usr/bin/env bash
# Every output of two builds, compared byte for byte on the real logs, a
# generated log, a failing log and two multi-log runs: the report tool's
# --dump, --json, --json --with-log, --html (its creation time left out) and
# readable summary with each unit, their exit statuses and error text, and the
# window's --dump-state (offscreen).  Prints each difference; exits 1 if any.
# With --without-insight, the insight that BUILD_DIR adds to the JSON, the
# HTML and the summary (and a reference built before it lacks) is left out
# of BUILD_DIR's outputs first: everything else must be as it was.
#   bench/same_outputs.sh [--without-insight] BUILD_DIR REFERENCE_BUILD_DIR [LINES]
set -uo pipefail
strip=false
if [ "${1:-}" = --without-insight ]; then
    strip=true
    shift
fi
build=$(cd "${1:?BUILD_DIR}" && pwd)
reference=$(cd "${2:?REFERENCE_BUILD_DIR}" && pwd)
lines=${3:-1000000}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"
set +e  # a failing run is an output to compare, not the end of the script
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Each build's programs copied into a folder of their own, with the same
# lists beside them: a materia/ folder beside a program is its data folder.
for name in new reference; do
    dir=$build
    [ $name = new ] || dir=$reference
    materia=$work/$name/materia
    mkdir -p "$materia"
    cp "$dir/pomurina" "$dir/pomurina-report" "$work/$name/"
    cp "$here/../defaults/materia/"* "$materia/"
    printf 'docomo\r\n153.180\r\n' > "$materia/CheckDomeinList.dat"
    printf 'tag-school.co.jp\r\nsemicomplete.com\r\n' > "$materia/DomeinList.dat"
done

logs=(/work/shared/data/reallogs/*.log "$(generated_log "$lines" 1)")
failing=$work/failing.log
printf '%s\n' '1.2.3.4 - - [05/Mar/2020:10:00:00 +0900] "GET / HTTP/1.1" 200 512 "-" "a"' \
    '1.2.3.4 - - [05/Mar/2020:11:00:00 +0900] "GET /x HTTP/1.1" 200 12ab "-" "a"' > "$failing"
: > "$work/empty.log"
runs=()
for log in "${logs[@]}" "$failing" "$work/empty.log"; do runs+=("$log"); done
runs+=("${logs[0]} ${logs[1]}" "${logs[2]} $failing" "$work/missing.log")

differences=0
# run NAME OUT ARGS...: one output of one build, with the lines that
# name the moment of writing left out.
run() {
    local name=$1 out=$2
    shift 2
    (cd "$work" && "$work/$name/pomurina-report" "$@" > "$out.out" 2> "$out.err"
     echo "status $?" >> "$out.err")
    sed -i -e '/^  "created": /d' -e '/<dt>作成日時<\/dt>/d' "$out.out"
    if [ -f "$work/report.html" ]; then
        sed '/<dt>作成日時<\/dt>/d' "$work/report.html" >> "$out.out"
        rm -f "$work/report.html"
    fi
    if $strip && [ "$name" = new ]; then without_insight "$out.out"; fi
}
# without_insight FILE: FILE without what the insight added to a JSON report
# (its member after the panes), an HTML report (its style, its menu entry,
# its section) or a readable summary (its lines after the graphs).
without_insight() {
    /usr/bin/python3 - "$1" <<'PY'
import sys
path = sys.argv[1]
data = open(path, "rb").read()
def cut(data, start, end, keep=b""):
    a = data.find(start)
    if a < 0:
        return data
    b = data.find(end, a) if end else len(data)
    return data[:a] + keep + data[b:]
at = data.rfind(b',\n  "insight": ')
if at >= 0 and data.startswith(b"{"):
    data = data[:at] + b"\n}\n"
data = cut(data, b"\ntable.rows{border-collapse", b"</style>")
data = data.replace(b'<a href="#insight">\xe3\x82\xa2\xe3\x82\xaf\xe3\x82\xbb\xe3\x82\xb9\xe8\xa7\xa3\xe6\x9e\x90</a>', b"")
data = cut(data, b'<section class="tab" id="insight">', b"<footer>")
data = cut(data, "\n[アクセス解析]\n".encode(), None)
open(path, "wb").write(data)
PY
}
compare() {  # LABEL
    for part in out err; do
        if ! cmp -s "$work/new.$part" "$work/reference.$part"; then
            echo "DIFFERENT ($part): $1"
            diff "$work/reference.$part" "$work/new.$part" | head -5
            differences=$((differences + 1))
        fi
    done
}

for files in "${runs[@]}"; do
    read -r -a paths <<< "$files"
    for unit in -1 0 1 2 3; do
        for options in "--dump" "--json" "--json --with-log" "--html report.html" ""; do
            read -r -a extra <<< "$options"
            run new "$work/new" --unit "$unit" "${extra[@]}" "${paths[@]}"
            run reference "$work/reference" --unit "$unit" "${extra[@]}" "${paths[@]}"
            compare "pomurina-report --unit $unit $options $files"
        done
    done
    for name in new reference; do
        (cd "$work" && QT_QPA_PLATFORM=offscreen \
            "$work/$name/pomurina" --dump-state "$work/$name.out" "${paths[@]}" 2> "$work/$name.err"
         echo "status $?" >> "$work/$name.err")
    done
    compare "pomurina --dump-state $files"
done
echo "$differences difference(s) over ${#runs[@]} runs"
[ "$differences" -eq 0 ]
