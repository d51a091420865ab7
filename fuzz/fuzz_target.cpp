#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_run.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return drvsweep::fuzz::RunFuzzInput(data, size);
}
