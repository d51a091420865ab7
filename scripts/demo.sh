#!/usr/bin/env bash
# Builds DrvSweep for Windows (scripts/release.sh) and runs its x86-64 program under Wine on the
# built-in example machine
# (tests/fixtures/demo_nt: four Quorin scanners, USB with and without an INF file, a PC Card
# scanner, one with a registered uninstaller, and devices of other makers that it leaves alone).
# The registered uninstaller is the build's stand-in for the maker's (test_uninstaller.exe): it
# deletes the Doc 392's device key 1.5 s after it starts, and the entry then leaves the list.
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
cmake --build --preset mingw64 --target ui_e2e_test uninstall_e2e_test test_uninstaller file_holder
scripts/release.sh >/dev/null

export DRVSWEEP_FIXTURES=$root/tests/fixtures DRVSWEEP_SCENARIO=demo_nt
export DRVSWEEP_PREFIX_FILES=$root/build/mingw64/tests/test_uninstaller.exe=windows/quorin/uninst.exe
program=$root/build/release/DrvSweep64.exe

if [ -n "${DISPLAY:-}" ]; then
    echo "DrvSweep runs on the example machine in a fresh Wine prefix; close its window to end."
    tests/wine/wine_run.sh "$program"
    exit 0
fi

screenshots=$root/build/mingw64/screenshots
log=$root/build/mingw64/demo.log
: >"$log"
echo "No display: running DrvSweep on a virtual display (log: $log)"

# One end-to-end run of the test driver on a fresh copy of the example machine.
drive() {
    if ! DRVSWEEP_PROGRAM=$program tests/wine/with_xvfb.sh tests/wine/ui_session.sh \
        "$screenshots" tests/wine/wine_run.sh "build/mingw64/tests/$1" \
        --gtest_filter="$2" >>"$log" 2>&1; then
        cat "$log" >&2
        echo "The demo run failed; see above." >&2
        exit 1
    fi
}

drive ui_e2e_test.exe DrvSweepWindow.EnglishFourScannersEndsOnExit
cp "$screenshots/EnglishFourScannersEndsOnExit.png" "$screenshots/demo.png"
cp "$screenshots/EnglishFourScannersEndsOnExit_about.png" "$screenshots/demo-about.png"
drive uninstall_e2e_test.exe UninstallCommand.RegisteredUninstallerRunsAndTheEntryGoesWithTheDeviceKey
cp "$screenshots/RegisteredUninstallerRunsAndTheEntryGoesWithTheDeviceKey.png" \
    "$screenshots/demo-after-uninstaller.png"
drive uninstall_e2e_test.exe UninstallCommand.ConfirmedBuiltInRemovalAsksNoNeedlessRestart
cp "$screenshots/ConfirmedBuiltInRemovalAsksNoNeedlessRestart_confirmation.png" \
    "$screenshots/demo-confirmation.png"
# The restart question comes only when something waits for the restart: a held driver file.
DRVSWEEP_FILE_HOLDER="Z:$root/build/mingw64/tests/file_holder.exe" \
    drive uninstall_e2e_test.exe UninstallCommand.HeldFilesGoAtTheRestartAndTheQuestionSaysSo
cp "$screenshots/HeldFilesGoAtTheRestartAndTheQuestionSaysSo_restart.png" \
    "$screenshots/demo-restart.png"

echo "Screenshots of the example machine:"
echo "  main window:                          $screenshots/demo.png"
echo "  About box:                            $screenshots/demo-about.png"
echo "  after Quorin's uninstaller ran:       $screenshots/demo-after-uninstaller.png"
echo "  confirmation of the built-in removal: $screenshots/demo-confirmation.png"
echo "  restart question (a file in use):     $screenshots/demo-restart.png"
