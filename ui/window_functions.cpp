#include "ui/window_functions.h"

namespace drvsweep {

WindowFunctions WindowFunctionsFor(Family family) {
    return family == Family::Win9x ? WindowFunctions::Ansi : WindowFunctions::Wide;
}

AnsiPartRoute AnsiPartRouteFor(std::uint32_t partCodePage, std::uint32_t ansiCodePage) {
    const bool stored = partCodePage == kAnsiCodePage || partCodePage == ansiCodePage ||
                        partCodePage == kUsAsciiCodePage;
    return stored ? AnsiPartRoute::AsStored : AnsiPartRoute::Converted;
}

}  // namespace drvsweep
