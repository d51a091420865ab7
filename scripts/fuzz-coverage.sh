#!/usr/bin/env bash
# Measures which share of the product's code the checked-in corpus reaches: the corpus replay
# built by clang with source-based coverage, then llvm-cov's report over discovery/, removal/,
# ui/ and platform/ (the simulation and the Win32 backend left out).
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/fuzz-coverage
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="-fprofile-instr-generate -fcoverage-mapping" >/dev/null
cmake --build "$build" --target fuzz_corpus_replay
LLVM_PROFILE_FILE="$build/corpus.profraw" "$build/fuzz/fuzz_corpus_replay" fuzz/corpus 2>/dev/null
llvm-profdata merge -sparse "$build/corpus.profraw" -o "$build/corpus.profdata"
llvm-cov report "$build/fuzz/fuzz_corpus_replay" -instr-profile="$build/corpus.profdata" \
    discovery removal ui platform \
    -ignore-filename-regex='platform/(sim|win32)/|ui/win32/'
