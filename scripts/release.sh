#!/usr/bin/env bash
# Builds what users get, into build/release/:
#   DrvSweep.exe    the x86 program for every Windows from 98 SE on; on 64-bit Windows it runs
#                   the x86-64 program it carries in its place
#   DrvSweep64.exe  that x86-64 program, for 64-bit Windows (XP x64 / Server 2003 x64 and later)
#   SHA256SUMS      their checksums, as `sha256sum -c` reads them
# Both come from the win32-thread-model MinGW-w64 compilers. The x86-64 program is built
# first, since the x86 one carries it. The end-to-end tests run this script before they start.
# The same commit gives the same bytes wherever and whenever it is built: the PE headers carry
# the commit's time (SOURCE_DATE_EPOCH, when not set already), and no path of this machine.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || echo 0)
fi
export SOURCE_DATE_EPOCH

mkdir -p build/release
# One build at a time: the test presets may run this script from two ctest runs at once.
exec 9>build/release/.lock
flock 9

for preset in release-x64 release-x86; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done
(cd build/release && sha256sum DrvSweep.exe DrvSweep64.exe >SHA256SUMS)
ls -l build/release/DrvSweep.exe build/release/DrvSweep64.exe build/release/SHA256SUMS
