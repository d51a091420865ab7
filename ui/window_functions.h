#pragma once

#include <cstdint>

#include "platform/dialog_host.h"
#include "platform/version_info.h"

namespace drvsweep {

// Which user32 functions a window is made and driven with. The 9x family has the wide (W)
// window functions only as stubs that fail, so there the window is an ANSI window and every
// text goes to it in the system's ANSI code page; the NT family keeps the wide functions,
// which show each text in its own code page whatever the system's one is.
enum class WindowFunctions { Wide, Ansi };

WindowFunctions WindowFunctionsFor(Family family);

// How one part of a text reaches an ANSI window: its bytes as stored when they are already in
// the system's ANSI code page (registry text, or an interface text of the same code page, such
// as the Simplified Chinese texts on a Simplified Chinese Windows 98), or converted from their
// own code page through UTF-16 into the ANSI one.
enum class AnsiPartRoute { AsStored, Converted };

// `partCodePage` is the part's code page: kAnsiCodePage for text from the system, or that of
// an interface text (kUsAsciiCodePage for English, which every ANSI code page holds as it is).
AnsiPartRoute AnsiPartRouteFor(std::uint32_t partCodePage, std::uint32_t ansiCodePage);

}  // namespace drvsweep
