#!/usr/bin/env bash
# The layers include one way only: gui -> ftp -> core.  The include roots
# already stop a core file from naming a window or FTP header; this also
# catches system headers the roots can't hide (curl's lives on the default
# path) and Qt in the FTP layer.
set -uo pipefail
src=${1:?usage: check_layering.sh SRC_DIR}
status=0
fail() { echo "$1"; status=1; }
while IFS= read -r hit; do fail "core includes Qt or curl: $hit"; done \
    < <(grep -rnE '#include <(Q[A-Za-z]*|curl/[^>]*)>' "$src/core")
while IFS= read -r hit; do fail "ftp includes Qt: $hit"; done \
    < <(grep -rnE '#include <Q[A-Za-z]*>' "$src/ftp")
while IFS= read -r hit; do fail "curl outside ftp: $hit"; done \
    < <(grep -rnE '#include <curl/' "$src/gui" "$src/main.cpp")
exit $status
