#!/usr/bin/env bash
# Tells whether this machine can run 32-bit Windows programs under Wine: exits 0 when it can,
# 1 when it cannot, after printing the reason to standard output.
#
#   host_runs_32bit.sh
#
# Some machines cannot execute 32-bit Linux programs at all, although Debian installs wine32
# on them: the loader then fails with "Exec format error". So the answer comes from starting the
# 32-bit loader, not from the installed packages.
set -uo pipefail

readonly wine32_loader=/usr/lib/wine/wine

if [ ! -x "$wine32_loader" ]; then
    echo "$wine32_loader is missing (install wine32:i386)"
    exit 1
fi
if ! "$wine32_loader" --version >/dev/null 2>&1; then
    echo "this machine cannot run 32-bit programs ($wine32_loader does not start)"
    exit 1
fi
exit 0
