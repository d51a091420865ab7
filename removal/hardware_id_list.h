#pragma once

#include <cstddef>
#include <cstdint>

namespace drvsweep {

// Whether the hardware-ID list in list[0, size) (NUL-terminated strings ended by an empty one)
// holds devicePath as one whole string, compared byte for byte. The walk ends at the empty
// string or at `size`, whichever comes first, and never reads past `size`; a string that the
// end of the data cuts off before its terminator is not known to be whole and matches nothing.
bool HardwareIdListHolds(const std::uint8_t* list, std::size_t size, const char* devicePath);

}  // namespace drvsweep
