#!/usr/bin/env bash
# Measures the start-up scan on a machine with 4 Quorin scanners and 300 OEM INF files:
# natively over the simulated Windows, then the x86-64 build over the real Setup API under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh

machines=$root/build/bench-machines
rm -rf "$machines"
python3 bench/make_bench_machine.py "$machines/bench"
export DRVSWEEP_FIXTURES=$machines DRVSWEEP_SCENARIO=bench

echo "== simulated Windows (native)"
cmake --preset bench >/dev/null
cmake --build --preset bench --target scan_benchmark
build/bench/scan_benchmark

# Google Benchmark for the cross build comes from Debian's source package.
source_dir=$root/build/benchmark-source
if [ ! -f "$source_dir/CMakeLists.txt" ]; then
    work=$(mktemp -d)
    chmod 755 "$work"
    mkdir -p "$work/lists/partial"
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$work/src.sources"
    apt_src=(-o Dir::Etc::SourceList="$work/src.sources" -o Dir::Etc::SourceParts=/dev/null
             -o Dir::State::Lists="$work/lists")
    apt-get "${apt_src[@]}" update -q
    (cd "$work" && apt-get "${apt_src[@]}" source --download-only benchmark)
    mkdir -p "$source_dir"
    tar -xzf "$work"/benchmark_*.orig.tar.gz -C "$source_dir" --strip-components=1
    rm -rf "$work"
fi

echo "== real Windows APIs under Wine (x86-64 build)"
cmake -S . -B build/bench-mingw64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DDRVSWEEP_BENCHMARK=ON -DDRVSWEEP_BENCHMARK_SOURCE="$source_dir" >/dev/null
cmake --build build/bench-mingw64 --target scan_benchmark
tests/wine/wine_run.sh build/bench-mingw64/scan_benchmark.exe
