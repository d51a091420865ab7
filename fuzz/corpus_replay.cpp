#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/fuzz_run.h"

// Feeds every file of the given folders to the fuzz target's function, as the fuzzer would;
// a breach aborts with its account. Used by the test command, so that the corpus needs no
// fuzzer to run.
int main(int argc, char** argv) {
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
            if (entry.is_regular_file()) {
                files.push_back(entry.path());
            }
        }
        std::sort(files.begin(), files.end());
        for (const auto& file : files) {
            std::ifstream stream(file, std::ios::binary);
            const std::vector<char> bytes((std::istreambuf_iterator<char>(stream)),
                                          std::istreambuf_iterator<char>());
            std::fprintf(stderr, "%s\n", file.string().c_str());
            drvsweep::fuzz::RunFuzzInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                         bytes.size());
            ++inputs;
        }
    }
    std::printf("%d inputs replayed\n", inputs);
    return inputs > 0 ? 0 : 1;
}
