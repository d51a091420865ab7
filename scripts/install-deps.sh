#!/usr/bin/env bash
# Installs what DrvSweep's build, tests, demo and release need on Debian 12, and nothing when it
# is all there already. Runs as root, or through sudo when that is available. This is the one
# list of packages: .ci/run and every script call it.
#
# A package mirror out of step with itself is normal life (an index of one architecture or
# suite that fails to download): the script rides it out. It fails only when a package the
# build needs cannot be installed, and names it. 32-bit Wine (wine32:i386) is optional: without
# it the x86 build is still built and its Wine tests are reported as skipped.
set -euo pipefail

packages=(
    git ca-certificates cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev
    clang-format python3
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
    g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32
    wine wine64
    xvfb xauth xdotool imagemagick fonts-wqy-microhei
    clang libclang-rt-14-dev llvm
    osslsigncode openssl
)
readonly wine32=wine32:i386

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

is_installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

apt_install() {
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$@"
}

# Updates the package lists at most once per run, trying three times; a run that still reports
# an error goes on with the lists it has.
lists_updated=false
update_lists() {
    "$lists_updated" && return 0
    lists_updated=true
    local attempt
    for attempt in 1 2 3; do
        if as_root apt-get update -q >/dev/null 2>&1; then
            return 0
        fi
        [ "$attempt" -lt 3 ] && sleep 5
    done
    echo "install-deps: apt-get update reported errors three times; going on with the package lists it has"
}

missing=()
for package in "${packages[@]}"; do
    is_installed "$package" || missing+=("$package")
done

if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    update_lists
    if ! apt_install "${missing[@]}"; then
        # Install one by one to name the package that cannot be had.
        for package in "${missing[@]}"; do
            if ! is_installed "$package" && ! apt_install "$package"; then
                echo "install-deps: cannot install $package, which the build needs" >&2
                exit 1
            fi
        done
    fi
fi

if ! is_installed "$wine32"; then
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386
        lists_updated=false
    fi
    update_lists
    if ! apt_install "$wine32" >/dev/null 2>&1; then
        echo "install-deps: $wine32 cannot be installed from this mirror; the x86 build's Wine tests will be skipped"
    fi
fi
