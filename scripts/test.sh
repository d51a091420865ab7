#!/usr/bin/env bash
# Builds every preset and runs every test: natively over the simulated Windows (with
# sanitizers), then the x86-64 and x86 Windows builds under Wine. Every preset is built and
# tested even when an earlier one failed; the script fails when any test that could run failed.
# On a machine that cannot run 32-bit programs the x86 build is still built, its tests are
# reported as skipped, and the last line says so.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

echo "== clang-format"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

failed=()
for preset in native mingw64 mingw32; do
    echo "== $preset"
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    log=build/$preset/ctest-output.log
    ctest --preset "$preset" 2>&1 | tee "$log" || failed+=("$preset")
done

if ! reason=$(tests/wine/host_runs_32bit.sh); then
    skipped=$(grep -c '\*\*\*Skipped' build/mingw32/ctest-output.log || true)
    echo "x86 build: $skipped tests skipped: $reason"
fi
if [ ${#failed[@]} -gt 0 ]; then
    echo "Tests failed in: ${failed[*]}" >&2
    exit 1
fi
