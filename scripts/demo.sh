#!/usr/bin/env bash
# Builds DrvSweep for Windows and runs it under Wine on the built-in example machine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset mingw64 >/dev/null
cmake --build --preset mingw64 --target ScanReport

export DRVSWEEP_FIXTURES=$PWD/tests/fixtures DRVSWEEP_SCENARIO=demo_nt
tests/wine/wine_run.sh build/mingw64/ScanReport.exe
