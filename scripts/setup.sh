#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need (only those missing)
# and configures and builds build/.  Sourced by run.sh and test.sh.
set -euo pipefail

POMURINA_PACKAGES=(build-essential cmake ninja-build g++ pkg-config
    qt6-base-dev libgl1-mesa-dev libcurl4-openssl-dev googletest libgtest-dev
    libssl-dev openssl vsftpd python3-paramiko
    python3 python3-pyftpdlib python3-jsonschema fonts-ipafont-gothic xvfb xauth
    clang libclang-rt-14-dev
    qt6-translations-l10n librsvg2-bin groff-base desktop-file-utils appstream
    zlib1g-dev libbz2-dev liblzma-dev libzstd-dev gzip bzip2 xz-utils zstd
    libicu-dev file clang-tidy lld)

pomurina_install_missing() {
    local missing=()
    for p in "${POMURINA_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

# pomurina_build DIR [cmake options...]
pomurina_build() {
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir"
}
