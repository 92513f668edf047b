#!/usr/bin/env bash
# Takes the README's package route: cpack makes the Debian package from the
# build, and the package holds both programs, their manual pages and the
# defaults, with the dependencies dpkg-shlibdeps found.
# usage: package_check.sh BUILD_DIR WITH_GUI(0|1)
set -euo pipefail
build=$1 with_gui=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.out" 2>&1) || { cat "$work/cpack.out"; fail "cpack failed"; }
deb=$(ls "$work"/pomurina_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { cat "$work/cpack.out"; fail "no package was made"; }
contents=$(dpkg-deb -c "$deb")
expect=(./usr/bin/pomurina-report ./usr/share/man/man1/pomurina-report.1)
[ "$with_gui" = 1 ] && expect+=(./usr/bin/pomurina)
for path in "${expect[@]}"; do
    grep -q " $path\(\.gz\)\?$" <<<"$contents" || fail "$path is not in the package"
done
grep -q 'materia/' <<<"$contents" || fail "the default lists are not in the package"
dpkg-deb -f "$deb" Depends | grep -q 'libcurl' || fail "the package does not depend on libcurl"
echo "package: $(basename "$deb")"
