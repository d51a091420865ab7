#include "removal/hardware_id_list.h"

#include <cstring>

namespace drvsweep {

bool HardwareIdListHolds(const std::uint8_t* list, std::size_t size, const char* devicePath) {
    const std::size_t pathLength = std::strlen(devicePath);
    std::size_t start = 0;
    while (start < size && list[start] != 0) {
        const void* nul = std::memchr(list + start, 0, size - start);
        if (nul == nullptr) {
            return false;
        }
        const auto length =
            static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - (list + start));
        if (length == pathLength && std::memcmp(list + start, devicePath, length) == 0) {
            return true;
        }
        start += length + 1;
    }
    return false;
}

}  // namespace drvsweep
