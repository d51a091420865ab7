#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/win32_codes.h"
#include "tests/support/registry_listing.h"
#include "tests/support/test_machine.h"

// The Setup API device walk and removal as Wine answers them, over the simulated Windows and
// over the real one alike, on the scenario contract_devices_nt. Wine lists devices of its own
// as well (a monitor, HID and bus devices, all with hardware IDs); the checks keep to the
// scenario's devices: those whose first hardware ID names the maker's vendor id, and those
// whose property is empty or cannot be read.
namespace drvsweep {
namespace {

const char kMakerPrefix[] = "USB\\VID_0C6E&";
const char kUsbTree[] = "SYSTEM\\CurrentControlSet\\Enum\\USB";
const char kK5210[] = "USB\\VID_0C6E&PID_5210&REV_0100|USB\\VID_0C6E&PID_5210";
const char kMpx730First[] = "USB\\VID_0C6E&PID_7300&REV_0001|USB\\VID_0C6E&PID_7300";
const char kMpx730Second[] = "USB\\VID_0C6E&PID_7300&REV_0002|USB\\VID_0C6E&PID_7300";

// The strings of a REG_MULTI_SZ held in bytes[0, length), joined by "|".
std::string JoinMultiString(const std::uint8_t* bytes, std::uint32_t length) {
    std::string joined;
    std::uint32_t start = 0;
    for (std::uint32_t i = 0; i < length && bytes[i] != 0; i = start) {
        while (i < length && bytes[i] != 0) {
            ++i;
        }
        joined += (joined.empty() ? "" : "|") +
                  std::string(reinterpret_cast<const char*>(bytes + start), i - start);
        start = i + 1;
    }
    return joined;
}

struct Member {
    DeviceInfoData device;
    std::string ids;  // the hardware IDs joined by "|", or "error <code>" when unreadable
};

std::vector<Member> ScenarioMembers(DeviceInfoSet& set) {
    std::vector<Member> members;
    DeviceInfoData device;
    device.cbSize = sizeof device;
    for (std::uint32_t index = 0; set.EnumDevice(index, &device); ++index) {
        std::uint8_t buffer[260] = {};
        std::uint32_t required = 0;
        std::uint32_t error = 0;
        const std::string ids = set.HardwareIds(device, buffer, sizeof buffer, &required, &error)
                                    ? JoinMultiString(buffer, required)
                                    : "error " + std::to_string(error);
        if (ids.empty() || ids.rfind("error ", 0) == 0 || ids.rfind(kMakerPrefix, 0) == 0) {
            members.push_back({device, ids});
        }
    }
    return members;
}

std::vector<std::string> IdsOf(const std::vector<Member>& members) {
    std::vector<std::string> ids;
    for (const Member& member : members) {
        ids.push_back(member.ids);
    }
    return ids;
}

const Member* FindMember(const std::vector<Member>& members, const std::string& ids) {
    for (const Member& member : members) {
        if (member.ids == ids) {
            return &member;
        }
    }
    return nullptr;
}

class DevicesContract : public ::testing::Test {
protected:
    void SetUp() override { machine_ = testing::OpenScenarioMachine(); }

    std::unique_ptr<DeviceInfoSet> AllDevices() {
        return machine_->platform().devices.AllDevices();
    }

    std::vector<std::string> Subkeys(const std::string& path) {
        return testing::SubkeyNames(machine_->platform().registry, path);
    }

    std::unique_ptr<testing::TestMachine> machine_;
};

// One test, because under Wine the tests of one run share the prefix and the removal changes
// it. The set lists the instance keys that have a ClassGUID, in registry order; a key without
// a HardwareID value answers ERROR_INVALID_DATA. DIF_REMOVE takes a device off the machine
// (SetupDiRemoveDevice on it then fails) and deletes its instance key and the device key above
// it once that has no instance left.
TEST_F(DevicesContract, WalksAndRemovesTheScenariosDevices) {
    std::unique_ptr<DeviceInfoSet> set = AllDevices();
    ASSERT_TRUE(set);
    const std::vector<Member> members = ScenarioMembers(*set);
    EXPECT_EQ(IdsOf(members),
              (std::vector<std::string>{"error 13", "", kK5210, kMpx730First, kMpx730Second}));

    const Member* k5210 = FindMember(members, kK5210);
    const Member* mpx730 = FindMember(members, kMpx730First);
    ASSERT_TRUE(k5210 && mpx730);
    {
        SCOPED_TRACE("a buffer too small for the hardware IDs gets the size needed");
        std::uint8_t buffer[64] = {};
        std::uint32_t required = 0;
        std::uint32_t error = 0;
        EXPECT_FALSE(set->HardwareIds(k5210->device, buffer, 53, &required, &error));
        EXPECT_EQ(error, static_cast<std::uint32_t>(kErrorInsufficientBuffer));
        EXPECT_EQ(required, 54u);
        EXPECT_TRUE(set->HardwareIds(k5210->device, buffer, 54, &required, &error));
        EXPECT_EQ(required, 54u);
        EXPECT_EQ(JoinMultiString(buffer, required), kK5210);
    }

    // Neither a device without a driver nor Wine's class installer asks for a restart.
    bool restartNeeded = true;
    EXPECT_TRUE(set->CallRemoveInstaller(k5210->device, &restartNeeded));
    EXPECT_FALSE(restartNeeded);
    EXPECT_FALSE(set->RemoveDevice(k5210->device));
    restartNeeded = true;
    EXPECT_FALSE(set->CallRemoveInstaller(k5210->device, &restartNeeded));
    EXPECT_FALSE(restartNeeded) << "a failed removal asks for nothing";
    EXPECT_TRUE(set->CallRemoveInstaller(mpx730->device, &restartNeeded));
    EXPECT_FALSE(restartNeeded);
    set.reset();

    set = AllDevices();
    ASSERT_TRUE(set);
    EXPECT_EQ(IdsOf(ScenarioMembers(*set)),
              (std::vector<std::string>{"error 13", "", kMpx730Second}));
    EXPECT_EQ(Subkeys(kUsbTree), (std::vector<std::string>{"VID_0C6E&PID_0001", "VID_0C6E&PID_0002",
                                                           "VID_0C6E&PID_7300"}));
    EXPECT_EQ(Subkeys(std::string(kUsbTree) + "\\VID_0C6E&PID_7300"),
              std::vector<std::string>{"6&11AA20&0&2"});
}

}  // namespace
}  // namespace drvsweep
