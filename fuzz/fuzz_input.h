#pragma once

#include <cstddef>
#include <cstdint>

namespace drvsweep::fuzz {

// The fuzzer's bytes read as a stream of small choices. Past the end every read answers 0, so
// that every input, the empty one included, describes one whole machine and one whole run.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t Byte() { return position_ < size_ ? data_[position_++] : 0; }
    bool Flag() { return (Byte() & 1) != 0; }
    // A number from 0 to count - 1.
    std::size_t Below(std::size_t count) { return count == 0 ? 0 : Byte() % count; }

    template <typename T, std::size_t N>
    const T& Choose(const T (&choices)[N]) {
        return choices[Below(N)];
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

}  // namespace drvsweep::fuzz
