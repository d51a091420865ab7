#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/win32_codes.h"
#include "removal/device_nodes_9x.h"
#include "removal/device_nodes_nt.h"
#include "removal/plan_steps.h"
#include "removal/removal_walk.h"
#include "tests/support/registry_listing.h"
#include "tests/support/test_machine.h"

// Device node removal over the simulated Windows and over the real one under Wine alike: the
// Setup API walk on removal_devices_nt, the registry deletions on removal_devices_9x.
namespace drvsweep {
namespace {

class RemovalDeviceNodesContract : public ::testing::Test {
protected:
    void SetUp() override { machine_ = testing::OpenScenarioMachine(); }

    Platform& platform() { return machine_->platform(); }
    Family family() { return CurrentFamily(platform().version); }

    std::vector<std::string> Subkeys(const std::string& path) {
        return testing::SubkeyNames(platform().registry, path);
    }

    // The members of the set of every device, Wine's own among them.
    std::uint32_t DeviceCount() {
        std::unique_ptr<DeviceInfoSet> set = platform().devices.AllDevices();
        DeviceInfoData device;
        device.cbSize = sizeof device;
        std::uint32_t count = 0;
        while (set && set->EnumDevice(count, &device)) {
            ++count;
        }
        return count;
    }

    std::unique_ptr<testing::TestMachine> machine_;
};

// Both instances of the model go, and the device key that they leave empty; hardware IDs that
// are not the path byte for byte and whole keep their devices, and so does every other device.
TEST_F(RemovalDeviceNodesContract, NtRemovesEveryInstanceWithTheExactHardwareId) {
    if (family() != Family::Nt) {
        GTEST_SKIP() << "a 9x-family scenario";
    }
    const std::uint32_t before = DeviceCount();
    RemoveDeviceNodesNt(platform(), "USB\\VID_0C6E&PID_5210");
    EXPECT_EQ(DeviceCount(), before - 2);
    EXPECT_EQ(Subkeys("SYSTEM\\CurrentControlSet\\Enum\\USB"),
              (std::vector<std::string>{"VID_0C6E&PID_0000", "VID_0C6E&PID_5210&MI_00",
                                        "VID_0C6E&PID_52100", "VID_0C6E&PID_7300"}));
    RemoveDeviceNodesNt(platform(), "USB\\VID_0C6E&PID_5210");
    EXPECT_EQ(DeviceCount(), before - 2);
}

// The class key named by the first instance goes before the device key; a device without a
// usable Driver value loses its device key alone, and a device key without instances stays.
TEST_F(RemovalDeviceNodesContract, NineXDeletesTheClassKeyAndTheDeviceKey) {
    if (family() != Family::Win9x) {
        GTEST_SKIP() << "an NT-family scenario";
    }
    for (const char* devicePath :
         {"USB\\VID_0C6E&PID_5210", "USB\\VID_0C6E&PID_3902", "USB\\VID_0C6E&PID_3900",
          "USB\\VID_0C6E&PID_7300", "USB\\VID_0C6E&PID_9999"}) {
        RunRemovalPlan(platform(), DeviceItems(platform(), devicePath));
    }
    EXPECT_EQ(Subkeys("Enum\\USB"), std::vector<std::string>{"VID_0C6E&PID_7300"});
    EXPECT_EQ(Subkeys("SYSTEM\\CurrentControlSet\\Services\\Class\\Image"),
              (std::vector<std::string>{"0001", "0005"}));
}

}  // namespace
}  // namespace drvsweep
