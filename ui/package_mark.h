#pragma once

#include <cstdint>

#include "platform/dialog_host.h"

namespace drvsweep {

// What the list shows after the description of a driver package that no device uses: that it
// is a driver without a device. Stored like the interface strings (GBK, Big5, ASCII), with the
// blank that parts it from the description.
CodePageText PackageOnlyMark(std::int32_t languageSlot);

}  // namespace drvsweep
