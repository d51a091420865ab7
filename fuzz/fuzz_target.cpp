#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_run.h"

// AddressSanitizer's defaults for the fuzzer: no filling of fresh allocations, shorter
// allocation stacks and a smaller quarantine, since one run allocates thousands of small
// strings. A finding is replayed with the full defaults by the corpus test.
extern "C" const char* __asan_default_options() {
    return "max_malloc_fill_size=0:malloc_context_size=8:quarantine_size_mb=16";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return drvsweep::fuzz::RunFuzzInput(data, size);
}
