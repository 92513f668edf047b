#!/usr/bin/env bash
# Installs the build into a temporary prefix and uses it as a user would:
# the installed report tool (and window program) with an empty home creates
# its data folder from the installed defaults, a second start leaves an
# edited list alone, and the menu entry, metainfo and manual pages pass
# their validators.
# usage: install_check.sh BUILD_DIR SOURCE_DIR WITH_GUI(0|1)
set -euo pipefail
build=$1 source=$2 with_gui=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
app=jp.example.pomurina
log=$work/access.log
printf '%s\n' '192.0.2.1 - - [05/Mar/2020:10:00:00 +0900] "GET / HTTP/1.1" 200 5 "http://elsewhere.example/" "Googlebot/2.1"' \
    '192.0.2.2 - - [05/Mar/2020:11:00:00 +0900] "POST /form HTTP/1.1" 404 - "-" "x"' >"$log"

# --- The data folder of an installed program ---------------------------------
report() { (cd / && HOME=$work/home XDG_DATA_HOME=$work/xdg "$prefix/bin/pomurina-report" "$@"); }
mkdir "$work/home"
report --dump "$log" >"$work/dump1" || fail "the installed report tool failed"
data=$work/xdg/pomurina
for f in "$source"/defaults/materia/*; do
    cmp -s "$f" "$data/materia/$(basename "$f")" || fail "default $(basename "$f") not in $data/materia"
done
[ -d "$data/logs" ] || fail "no logs/ in the data folder"
[ "$(stat -c %a "$data")" = 700 ] || fail "the data folder is not owner-only"
[ "$(stat -c %a "$data/materia/FTPSetting.dat")" = 600 ] || fail "the data folder's settings are not owner-only"
[ -z "$(ls -A "$work/home")" ] || fail "the home was written although XDG_DATA_HOME is set"

printf 'elsewhere.example\r\n' >>"$data/materia/DomeinList.dat"
edited=$(sha256sum <"$data/materia/DomeinList.dat")
rm "$data/materia/SERobotsList.dat"
report --dump "$log" >"$work/dump2" || fail "the second run failed"
[ "$(sha256sum <"$data/materia/DomeinList.dat")" = "$edited" ] || fail "the edited list was replaced"
cmp -s "$source/defaults/materia/SERobotsList.dat" "$data/materia/SERobotsList.dat" ||
    fail "a deleted default did not come back"
cmp -s "$work/dump1" "$work/dump2" && fail "the edited list was not read"

# Without XDG_DATA_HOME: ~/.local/share.  A home where nothing can be made: an error, exit 1.
(cd / && env -u XDG_DATA_HOME HOME=$work/home "$prefix/bin/pomurina-report" "$log" >/dev/null) ||
    fail "the run with the default data folder failed"
[ -f "$work/home/.local/share/pomurina/materia/setup.ini" ] || fail "no ~/.local/share/pomurina"
touch "$work/not-a-folder"
if (HOME=$work/not-a-folder XDG_DATA_HOME= "$prefix/bin/pomurina-report" "$log" >/dev/null 2>"$work/err"); then
    fail "a data folder that can't be made was not reported"
fi
grep -q 'を作成できません' "$work/err" || fail "unclear message: $(cat "$work/err")"

# The window program finds every file in the same folder: no error box at
# start-up, and its dump equals the report tool's.
if [ "$with_gui" = 1 ]; then
    mkdir -m 700 "$work/runtime"
    (cd / && QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work/runtime HOME=$work/home XDG_DATA_HOME=$work/xdg \
        "$prefix/bin/pomurina" --dump-state "$work/window.dump" "$log" 2>"$work/window.err") ||
        fail "the installed window program failed: $(cat "$work/window.err")"
    [ ! -s "$work/window.err" ] || fail "boxes at start-up: $(cat "$work/window.err")"
    report --dump "$log" >"$work/report.dump"
    cmp -s "$work/window.dump" "$work/report.dump" || fail "the two programs read different lists"
fi

# --- The data folder beside the programs, as the build provides it ----------
cmake -DSOURCE="$source/defaults" -DTARGET="$work/beside" -P "$source/cmake/CopyDefaults.cmake"
[ "$(stat -c %a "$work/beside/materia/FTPSetting.dat")" = 600 ] ||
    fail "the build's settings file is not owner-only"
cmp -s "$source/defaults/materia/FTPSetting.dat" "$work/beside/materia/FTPSetting.dat" ||
    fail "the build's settings file is not the default"

# --- Menu entry, icon, metainfo, manual pages --------------------------------
share=$prefix/share
if [ "$with_gui" = 1 ]; then
    desktop-file-validate "$share/applications/$app.desktop" || fail "desktop-file-validate"
    appstreamcli validate --no-net "$share/metainfo/$app.metainfo.xml" >"$work/as" ||
        fail "appstreamcli validate: $(cat "$work/as")"
    [ -f "$share/icons/hicolor/scalable/apps/$app.svg" ] || fail "no scalable icon"
    for size in 16 32 48 256; do
        png=$share/icons/hicolor/${size}x${size}/apps/$app.png
        read -r _ _ w2 w3 _ _ h2 h3 < <(od -An -tu1 -j16 -N8 "$png")  # the PNG header's width, height
        [ $((w2 * 256 + w3))x$((h2 * 256 + h3)) = ${size}x$size ] || fail "icon $png"
    done
fi
pages=(man1/pomurina-report.1.gz ja/man1/pomurina-report.1.gz)
[ "$with_gui" = 1 ] && pages+=(man1/pomurina.1.gz ja/man1/pomurina.1.gz)
for page in "${pages[@]}"; do
    warnings=$(zcat "$share/man/$page" | LC_ALL=C.UTF-8 groff -man -Tutf8 -k -ww -z 2>&1)
    [ -z "$warnings" ] || fail "$page: $warnings"
done
/usr/bin/python3 -m json.tool "$share/doc/pomurina/report.schema.json" >/dev/null ||
    fail "the JSON report's schema is not installed whole"
echo "installed and used from $prefix: passed"
