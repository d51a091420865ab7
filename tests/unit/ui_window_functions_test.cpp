#include "ui/window_functions.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/sim/sim_windows.h"

namespace drvsweep {
namespace {

// The family is asked afresh: one machine that changes its version word changes the choice.
TEST(WindowFunctions, TheNtFamilyKeepsTheWideWindowAndThe9xFamilyGetsTheAnsiOne) {
    sim::SimWindows machine;
    const struct {
        std::uint32_t version;
        WindowFunctions expected;
    } cases[] = {
        {sim::SimVersion::kNtVersion, WindowFunctions::Wide},     // Wine's winxp
        {0x1DB10106, WindowFunctions::Wide},                      // Wine's default, Windows 7
        {0x7FFFFFFF, WindowFunctions::Wide},                      // the high bit alone decides
        {sim::SimVersion::kWin9xVersion, WindowFunctions::Ansi},  // Wine's win98
        {0x80000000, WindowFunctions::Ansi},
        {0xC0005A04, WindowFunctions::Ansi},  // Windows ME
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.version));
        machine.SetVersion(c.version);
        EXPECT_EQ(WindowFunctionsFor(CurrentFamily(machine.platform().version)), c.expected);
    }
}

TEST(WindowFunctions, AnAnsiWindowGetsTextsOfItsCodePageAsStored) {
    const struct {
        std::uint32_t part;
        std::uint32_t ansi;
        AnsiPartRoute expected;
    } cases[] = {
        {936, 936, AnsiPartRoute::AsStored},  // Simplified Chinese texts on a Chinese 98
        {950, 950, AnsiPartRoute::AsStored},
        {kAnsiCodePage, 936, AnsiPartRoute::AsStored},  // registry text
        {kAnsiCodePage, 1252, AnsiPartRoute::AsStored},
        {kUsAsciiCodePage, 936, AnsiPartRoute::AsStored},
        {kUsAsciiCodePage, 1252, AnsiPartRoute::AsStored},
        {936, 950, AnsiPartRoute::Converted},
        {950, 936, AnsiPartRoute::Converted},
        {936, 1252, AnsiPartRoute::Converted},
        {950, 1252, AnsiPartRoute::Converted},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.part) + " on " + std::to_string(c.ansi));
        EXPECT_EQ(AnsiPartRouteFor(c.part, c.ansi), c.expected);
    }
}

}  // namespace
}  // namespace drvsweep
