#!/usr/bin/env bash
# Builds what users get, into build/release/:
#   DrvSweep.exe    the x86 program for every Windows from 98 SE on; on 64-bit Windows it runs
#                   the x86-64 program it carries in its place
#   DrvSweep64.exe  that x86-64 program, for 64-bit Windows (XP x64 / Server 2003 x64 and later)
#   SHA256SUMS      the SHA-256 checksums of both, as `sha256sum -c` reads them
# Both come from the win32-thread-model MinGW-w64 compilers. The x86-64 program is built
# first, since the x86 one carries it. The end-to-end tests run this script before they start.
# The same sources give the same unsigned programs, byte for byte (cmake/release_flags.cmake).
#
#   scripts/release.sh [--sign CERT.pfx [--timestamp URL]]
#
# --sign signs both programs with the certificate and key in CERT.pfx (SHA-256 Authenticode,
# with osslsigncode): DrvSweep64.exe first, so that DrvSweep.exe carries the signed program,
# then DrvSweep.exe. The file's password is read from the environment variable
# DRVSWEEP_SIGN_PASSWORD, never from the command line. --timestamp has the signatures
# countersigned by that RFC 3161 time-stamp server, so that they outlive the certificate.
set -euo pipefail

usage() {
    echo "usage: $0 [--sign CERT.pfx [--timestamp URL]]" >&2
    exit 2
}

certificate=
timestamp_url=
while [ $# -gt 0 ]; do
    case "$1" in
        --sign) [ $# -ge 2 ] || usage; certificate=$(realpath -- "$2"); shift 2 ;;
        --timestamp) [ $# -ge 2 ] || usage; timestamp_url=$2; shift 2 ;;
        *) usage ;;
    esac
done
if [ -n "$timestamp_url" ] && [ -z "$certificate" ]; then
    usage
fi
if [ -n "$certificate" ]; then
    if [ ! -r "$certificate" ]; then
        echo "release: cannot read the certificate $certificate" >&2
        exit 1
    fi
    if [ -z "${DRVSWEEP_SIGN_PASSWORD+set}" ]; then
        echo "release: set DRVSWEEP_SIGN_PASSWORD to the password of $certificate" >&2
        exit 1
    fi
fi

cd "$(dirname "$0")/.."

mkdir -p build/release
# One build at a time: the test presets may run this script from two ctest runs at once.
exec 9>build/release/.lock
flock 9

# osslsigncode reads the password from a file that only this user can read (mktemp makes it so),
# and which is removed however the script ends.
password_file=
trap '[ -z "$password_file" ] || rm -f "$password_file"' EXIT
if [ -n "$certificate" ]; then
    password_file=$(mktemp)
    printf '%s' "$DRVSWEEP_SIGN_PASSWORD" >"$password_file"
fi

# Puts a built program into build/release/, signed when a certificate was given. An unchanged
# file is left alone, so that an unchanged DrvSweep64.exe does not make DrvSweep.exe relink.
publish() {
    local built=$1
    local published
    published=build/release/$(basename "$built")
    if [ -n "$certificate" ]; then
        osslsigncode sign -pkcs12 "$certificate" -readpass "$password_file" -h sha256 \
            -n DrvSweep ${timestamp_url:+-ts "$timestamp_url"} \
            -in "$built" -out "$published.new" >/dev/null
    else
        cp "$built" "$published.new"
    fi
    if cmp -s "$published.new" "$published"; then
        rm "$published.new"
    else
        mv "$published.new" "$published"
    fi
}

for build in x64/DrvSweep64.exe x86/DrvSweep.exe; do
    arch=${build%%/*}
    cmake --preset "release-$arch" >/dev/null
    cmake --build --preset "release-$arch"
    publish "build/release/$arch/unsigned/${build#*/}"
done

(cd build/release && sha256sum DrvSweep.exe DrvSweep64.exe >SHA256SUMS)
if [ -n "$certificate" ]; then
    echo "Signed with $certificate"
else
    echo "Unsigned: no certificate given (scripts/release.sh --sign CERT.pfx signs both programs)"
fi
ls -l build/release/DrvSweep.exe build/release/DrvSweep64.exe
cat build/release/SHA256SUMS
