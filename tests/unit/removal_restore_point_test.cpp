#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "platform/sim/sim_windows.h"
#include "removal/restore_point.h"

// The run's restore point, over the simulated System Restore: made once, before the first
// removal; Windows 8's 24-hour rule lifted for the call alone; never a reason to stop a run.
namespace drvsweep {
namespace {

constexpr char kKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\SystemRestore";
constexpr char kValue[] = "SystemRestorePointCreationFrequency";

std::string Dword(std::uint32_t value) {
    std::string bytes(4, '\0');
    std::memcpy(&bytes[0], &value, 4);
    return bytes;
}

TEST(RestorePoint, OnePointPerRunAndTheFrequencyPutBack) {
    sim::SimWindows machine;
    machine.SetRelease(sim::SimRelease::Windows10v1703, true);
    ASSERT_TRUE(machine.registry().SetValue(kKey, kValue, 4, Dword(1440)));
    RunRestorePoint point(machine.platform());
    const RestorePointNote made = point.Begin();
    EXPECT_TRUE(made.made) << made.text;
    EXPECT_TRUE(point.Begin().text.empty()) << "a run makes one point";
    EXPECT_TRUE(point.End().made);
    EXPECT_TRUE(point.End().text.empty());
    const auto& calls = machine.systemRestore().calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_TRUE(calls[0].begin);
    EXPECT_EQ(calls[0].description, "DrvSweep: removal of scanner drivers");
    EXPECT_FALSE(calls[1].begin);
    EXPECT_EQ(calls[1].sequence, calls[0].sequence);
    const std::optional<sim::RegValue> kept = machine.registry().Value(kKey, kValue);
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(kept->bytes, Dword(1440));

    // Where there was no such value, none is left behind.
    sim::SimWindows fresh;
    fresh.SetRelease(sim::SimRelease::Windows10v1703, true);
    ASSERT_TRUE(fresh.registry().CreateKey(kKey));
    RunRestorePoint second(fresh.platform());
    EXPECT_TRUE(second.Begin().made);
    EXPECT_FALSE(fresh.registry().Value(kKey, kValue).has_value());
}

TEST(RestorePoint, NoSystemRestoreIsANoteNotAFailure) {
    sim::SimWindows off;
    off.systemRestore().SetTurnedOn(false);
    RunRestorePoint turnedOff(off.platform());
    const RestorePointNote note = turnedOff.Begin();
    EXPECT_FALSE(note.made);
    EXPECT_EQ(note.text, "No restore point: System Restore is turned off");
    EXPECT_TRUE(turnedOff.End().text.empty()) << "nothing begun, nothing ended";

    sim::SimWindows none;
    none.systemRestore().SetAvailable(false);
    RunRestorePoint missing(none.platform());
    EXPECT_EQ(missing.Begin().text, "No restore point: this Windows has no System Restore");

    sim::SimWindows failing;
    failing.faults().Add({"SRSetRestorePointA", "DrvSweep", 8, 0, -1});
    RunRestorePoint refused(failing.platform());
    EXPECT_EQ(refused.Begin().text, "No restore point: System Restore answered error 8");
}

}  // namespace
}  // namespace drvsweep
