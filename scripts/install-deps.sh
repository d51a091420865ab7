#!/usr/bin/env bash
# Installs what DrvSweep's build, tests and demo need on Debian 12, and nothing when it is all
# there already. Runs as root, or through sudo when that is available.
set -euo pipefail

packages=(
    cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev clang-format python3
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
    g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32
    wine wine64 wine32:i386
    xvfb xauth xdotool imagemagick fonts-wqy-microhei
    clang libclang-rt-14-dev llvm
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# 32-bit Wine (for the x86 build) comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
    as_root apt-get update
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi
