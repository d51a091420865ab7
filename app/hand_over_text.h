#pragma once

#include <cstdint>

#include "platform/dialog_host.h"

namespace drvsweep {

// The message of a run that 64-bit Windows needed handed over and that could not be, in a
// language slot, stored like the interface strings (GBK, Big5, ASCII).
CodePageText HandOverFailureText(std::int32_t languageSlot);

}  // namespace drvsweep
