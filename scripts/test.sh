#!/usr/bin/env bash
# Builds every preset and runs every test: natively over the simulated Windows (with
# sanitizers), then the x86-64 and x86 Windows builds under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

echo "== clang-format"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

for preset in native mingw64 mingw32; do
    echo "== $preset"
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done
