#!/usr/bin/env bash
# Runs the removal fuzzer: builds the fuzz preset (clang, libFuzzer, sanitizers) and fuzzes for
# the given number of seconds (default 60), starting from the checked-in corpus. Further
# arguments go to libFuzzer (-runs=1000000, -jobs=2, ...). New inputs collect in
# build/fuzz/corpus; a finding is written to build/fuzz/findings/ and fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
shift || true

cmake --preset fuzz
cmake --build --preset fuzz

mkdir -p build/fuzz/corpus build/fuzz/findings
build/fuzz/fuzz/drvsweep_fuzzer -max_total_time="$seconds" -max_len=600 -len_control=20 \
    -print_final_stats=1 -artifact_prefix=build/fuzz/findings/ "$@" \
    build/fuzz/corpus fuzz/corpus
