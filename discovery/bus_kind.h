#pragma once

#include <cstdint>

namespace drvsweep {

// The bus a scanner sits on, with the numbers the program has always given them: 100 for a
// PC Card (PCMCIA) scanner, 200 for a USB scanner; None only in a cleared row.
enum class BusKind : std::int32_t { None = 0, PcCard = 100, Usb = 200 };

}  // namespace drvsweep
