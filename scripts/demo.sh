#!/usr/bin/env bash
# Builds DrvSweep.exe for Windows and runs it under Wine on the built-in example machine
# (tests/fixtures/demo_nt: four Quorin scanners, USB with and without an INF file, a PC Card
# scanner, one with a registered uninstaller, and devices of other makers that it leaves alone).
#
# With a display (DISPLAY set) the program opens in a window there; close it to end the demo.
# Without one it runs on a virtual display (Xvfb), where the end-to-end test driver starts it,
# reads its window, opens the About box, takes screenshots and ends it again; the script prints
# where the screenshots are.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh
cmake --preset mingw64 >/dev/null
cmake --build --preset mingw64 --target DrvSweep ui_e2e_test

export DRVSWEEP_FIXTURES=$root/tests/fixtures DRVSWEEP_SCENARIO=demo_nt
program=$root/build/mingw64/DrvSweep.exe

if [ -n "${DISPLAY:-}" ]; then
    echo "DrvSweep runs on the example machine in a fresh Wine prefix; close its window to end."
    tests/wine/wine_run.sh "$program"
    exit 0
fi

screenshots=$root/build/mingw64/screenshots
test_name=EnglishFourScannersEndsOnExit
log=$root/build/mingw64/demo.log
echo "No display: running DrvSweep on a virtual display (log: $log)"
if ! DRVSWEEP_PROGRAM=$program tests/wine/with_xvfb.sh tests/wine/ui_session.sh "$screenshots" \
    tests/wine/wine_run.sh build/mingw64/tests/ui_e2e_test.exe \
    --gtest_filter="DrvSweepWindow.$test_name" >"$log" 2>&1; then
    cat "$log" >&2
    echo "The demo run failed; see above." >&2
    exit 1
fi
cp "$screenshots/$test_name.png" "$screenshots/demo.png"
cp "$screenshots/${test_name}_about.png" "$screenshots/demo-about.png"
echo "Screenshot of the main window: $screenshots/demo.png"
echo "Screenshot of its About box:   $screenshots/demo-about.png"
