#!/usr/bin/env bash
# Measures the start-up scan on machines with 300 OEM INF files and 1, 4 and 16 Quorin
# scanners, each beside two floors (one pass that opens every INF once with the Setup API and
# reads its models lines; one read of every INF's bytes) and beside the scan that opens every
# INF, with its ratio to both floors, natively over the simulated Windows and with the x86-64
# build over the real Setup API under Wine; then, under Wine on a virtual display, the time from DrvSweep.exe's start until its
# window lists the 4 scanners of the 300-INF machine, beside the time it needs on an empty
# machine. Each figure is the median of several runs; the last lines sum them up.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh

readonly counts=(1 4 16)
machines=$root/build/bench-machines
rm -rf "$machines"
for count in "${counts[@]}" 0; do
    python3 bench/make_bench_machine.py "$machines/bench_$count" "$count"
done
export DRVSWEEP_FIXTURES=$machines
summary=$(mktemp)
trap 'rm -f "$summary"' EXIT

# Repetitions of the floor and the scans take turns, so that a burst of load elsewhere on the
# machine falls on all of them alike.
bench_flags=(--benchmark_enable_random_interleaving=true --benchmark_color=false)

# Runs a command with a scenario's environment, shows its output and adds the lines that begin
# with `tag` to the summary, headed by `label`.
measure() {
    local label=$1 tag=$2 count=$3 output status=0
    shift 3
    output=$(DRVSWEEP_SCENARIO=bench_$count DRVSWEEP_BENCH_SCANNERS=$count "$@") || status=$?
    echo "$output"
    sed -n "s/^$tag /$label: /p" <<<"$output" >>"$summary"
    return "$status"
}

run_counts() {
    local label=$1
    shift
    for count in "${counts[@]}"; do
        echo "== $label, 300 INF files, $count scanners"
        measure "$label" ratio "$count" "$@" "${bench_flags[@]}"
    done
}

cmake --preset bench >/dev/null
cmake --build --preset bench --target scan_benchmark
run_counts "simulated Windows (native)" build/bench/scan_benchmark

# Google Benchmark for the cross build comes from Debian's source package.
source_dir=$root/build/benchmark-source
if [ ! -f "$source_dir/CMakeLists.txt" ]; then
    work=$(mktemp -d)
    chmod 755 "$work"
    mkdir -p "$work/lists/partial"
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$work/src.sources"
    apt_src=(-o Dir::Etc::SourceList="$work/src.sources" -o Dir::Etc::SourceParts=/dev/null
             -o Dir::State::Lists="$work/lists")
    # A mirror out of step for one index must not stop the benchmark: the source list it needs
    # is one of several.
    apt-get "${apt_src[@]}" update -q ||
        echo "bench: apt-get update reported errors; going on with the source lists it has"
    (cd "$work" && apt-get "${apt_src[@]}" source --download-only benchmark)
    mkdir -p "$source_dir"
    tar -xzf "$work"/benchmark_*.orig.tar.gz -C "$source_dir" --strip-components=1
    rm -rf "$work"
fi

build=build/bench-mingw64
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DDRVSWEEP_BENCHMARK=ON -DDRVSWEEP_BENCHMARK_SOURCE="$source_dir" >/dev/null
cmake --build "$build" --target scan_benchmark window_timing
scripts/release.sh >/dev/null
run_counts "Wine, x86-64 build" tests/wine/wine_run.sh "$build/scan_benchmark.exe"

export DRVSWEEP_PROGRAM=$root/build/release/DrvSweep64.exe
echo "== Wine, DrvSweep64.exe on the machine of 300 INF files and 4 scanners"
measure "Wine, 300 INF files" window 4 tests/wine/with_xvfb.sh tests/wine/wine_run.sh \
    "$build/window_timing.exe"
echo "== Wine, DrvSweep64.exe on an empty machine (an empty dialog)"
measure "Wine, empty machine" window 0 tests/wine/with_xvfb.sh tests/wine/wine_run.sh \
    "$build/window_timing.exe"

echo "== summary (medians)"
cat "$summary"
