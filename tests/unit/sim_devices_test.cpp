#include "platform/sim/sim_devices.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_version.h"
#include "platform/win32_codes.h"

namespace drvsweep::sim {
namespace {

const char kScannerKey[] = "SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0C6E&PID_5210";

class SimDevicesTest : public ::testing::Test {
protected:
    SimDevicesTest() : version(faults), registry(faults, version), devices(faults, registry) {}

    void SetUp() override {
        devices.AddDevice("USB\\VID_0C6E&PID_5210\\A1",
                          {"USB\\VID_0C6E&PID_5210&REV_0100", "USB\\VID_0C6E&PID_5210"});
        devices.AddDevice(SimDevice{"ROOT\\LEGACY\\0000", std::nullopt, false});
        devices.AddDevice("USB\\VID_0C6E&PID_5210\\B2", {"USB\\VID_0C6E&PID_5210"}, false);
        registry.CreateKey(std::string(kScannerKey) + "\\A1");
        registry.CreateKey(std::string(kScannerKey) + "\\B2");
        registry.CreateKey("SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_046D&PID_C077\\1");
    }

    DeviceInfoData Member(DeviceInfoSet& set, std::uint32_t index) {
        DeviceInfoData device;
        device.cbSize = sizeof device;
        EXPECT_TRUE(set.EnumDevice(index, &device)) << index;
        return device;
    }

    SimFaults faults;
    SimVersion version;
    SimRegistry registry;
    SimDevices devices;
};

TEST_F(SimDevicesTest, HardwareIdsFollowTheBufferProtocol) {
    std::unique_ptr<DeviceInfoSet> set = devices.AllDevices();
    const DeviceInfoData first = Member(*set, 0);
    // Both strings with their NULs; the literal's own NUL ends the list.
    const char kList[] = "USB\\VID_0C6E&PID_5210&REV_0100\0USB\\VID_0C6E&PID_5210\0";
    const std::string expected(kList, sizeof kList);
    std::uint32_t required = 0;
    std::uint32_t error = 0;
    EXPECT_FALSE(set->HardwareIds(first, nullptr, 0, &required, &error));
    EXPECT_EQ(error, kErrorInsufficientBuffer);
    EXPECT_EQ(required, expected.size());
    std::vector<std::uint8_t> buffer(expected.size() + 4, 0xAA);
    EXPECT_FALSE(set->HardwareIds(first, buffer.data(), 53, &required, &error));
    EXPECT_EQ(error, kErrorInsufficientBuffer);
    EXPECT_EQ(buffer[0], 0xAA);
    required = 0;
    EXPECT_TRUE(set->HardwareIds(first, buffer.data(), 54, &required, &error));
    EXPECT_EQ(required, 54u);
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + 54), expected);
    EXPECT_EQ(buffer[54], 0xAA);

    EXPECT_FALSE(set->HardwareIds(Member(*set, 1), buffer.data(), 60, &required, &error));
    EXPECT_EQ(error, kErrorInvalidData) << "a device without hardware ID";
}

TEST_F(SimDevicesTest, ASetListsEveryDeviceAndChecksTheRecordSize) {
    std::unique_ptr<DeviceInfoSet> set = devices.AllDevices();
    DeviceInfoData device;
    device.cbSize = sizeof device;
    EXPECT_TRUE(set->EnumDevice(2, &device)) << "devices that are not present are listed";
    EXPECT_FALSE(set->EnumDevice(3, &device));
    device.cbSize = 28 + 5;
    EXPECT_FALSE(set->EnumDevice(0, &device)) << "cbSize must be the record's size";
    EXPECT_EQ(devices.openSetCount(), 1);
    set.reset();
    EXPECT_EQ(devices.openSetCount(), 0);
}

TEST_F(SimDevicesTest, RemovedMembersKeepTheirPlaceAndTheirKeysGo) {
    std::unique_ptr<DeviceInfoSet> set = devices.AllDevices();
    const DeviceInfoData first = Member(*set, 0);
    bool restartNeeded = true;
    EXPECT_TRUE(set->CallRemoveInstaller(first, &restartNeeded));
    EXPECT_FALSE(restartNeeded);
    EXPECT_FALSE(set->RemoveDevice(first)) << "already gone, as on Wine";
    std::uint32_t required = 0;
    std::uint32_t error = 0;
    EXPECT_FALSE(set->HardwareIds(first, nullptr, 0, &required, &error));
    EXPECT_EQ(error, kErrorNoSuchDevinst);
    EXPECT_TRUE(registry.KeyExists(kScannerKey)) << "the second instance is still below it";

    const DeviceInfoData third = Member(*set, 2);
    EXPECT_TRUE(set->RemoveDevice(third));
    EXPECT_FALSE(registry.KeyExists(kScannerKey)) << "emptied parents go with the instance";
    EXPECT_TRUE(registry.KeyExists("SYSTEM\\CurrentControlSet\\Enum\\USB"));

    EXPECT_EQ(devices.InstanceIds(), std::vector<std::string>{"ROOT\\LEGACY\\0000"});
    ASSERT_EQ(devices.removals().size(), 2u);
    EXPECT_EQ(devices.removals()[0].instanceId, "USB\\VID_0C6E&PID_5210\\A1");
    EXPECT_EQ(devices.removals()[0].call, RemovalCall::ClassInstaller);
    EXPECT_EQ(devices.removals()[1].call, RemovalCall::RemoveDevice);
}

TEST_F(SimDevicesTest, FaultsStrikeTheNamedCalls) {
    faults.Add(FaultRule{"SetupDiGetClassDevsA", "", 8, 0, 1});
    faults.Add(FaultRule{"SetupDiGetDeviceRegistryPropertyA", "B2", 1, 0, -1});
    faults.Add(FaultRule{"SetupDiEnumDeviceInfo", "1", 5, 0, -1});
    faults.Add(FaultRule{"SetupDiCallClassInstaller", "", 5, 0, -1});
    EXPECT_EQ(devices.AllDevices(), nullptr);
    std::unique_ptr<DeviceInfoSet> set = devices.AllDevices();
    DeviceInfoData device;
    device.cbSize = sizeof device;
    EXPECT_FALSE(set->EnumDevice(1, &device));
    device = Member(*set, 2);
    std::uint32_t required = 0;
    std::uint32_t error = 0;
    EXPECT_FALSE(set->HardwareIds(device, nullptr, 0, &required, &error));
    EXPECT_EQ(error, 1u);
    bool restartNeeded = false;
    EXPECT_FALSE(set->CallRemoveInstaller(device, &restartNeeded));
    EXPECT_TRUE(devices.removals().empty());
}

// A device set to need a restart says so after its DIF_REMOVE, unless its install parameters
// cannot be read.
TEST_F(SimDevicesTest, ARestartIsAskedForOnlyByTheDeviceSetToNeedIt) {
    devices.SetRestartAfterRemoval("USB\\VID_0C6E&PID_5210\\A1");
    faults.Add(FaultRule{"SetupDiGetDeviceInstallParamsA", "B2", 5, 0, -1});
    devices.SetRestartAfterRemoval("USB\\VID_0C6E&PID_5210\\B2");
    std::unique_ptr<DeviceInfoSet> set = devices.AllDevices();
    const bool expected[] = {true, false, false};
    for (std::uint32_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        bool restartNeeded = !expected[i];
        EXPECT_TRUE(set->CallRemoveInstaller(Member(*set, i), &restartNeeded));
        EXPECT_EQ(restartNeeded, expected[i]);
    }
}

TEST_F(SimDevicesTest, DevicesComeFromInstanceKeysWithAClassGuidAsOnWine) {
    SimDevices fromRegistry(faults, registry);
    const std::string enumKey = "SYSTEM\\CurrentControlSet\\Enum\\";
    registry.SetString(enumKey + "USB\\VID_0C6E&PID_5210\\B2", "ClassGUID", "{6bdd1fc6}");
    registry.SetValue(enumKey + "USB\\VID_0C6E&PID_5210\\B2", "HardwareID", kRegMultiSz,
                      std::string("USB\\VID_0C6E&PID_5210\0\0", 24));
    registry.SetString(enumKey + "PCMCIA\\QUORIN-X\\1", "ClassGUID", "{6bdd1fc6}");
    fromRegistry.AddDevicesFromRegistry();
    EXPECT_EQ(fromRegistry.InstanceIds(),
              (std::vector<std::string>{"PCMCIA\\QUORIN-X\\1", "USB\\VID_0C6E&PID_5210\\B2"}));
    std::unique_ptr<DeviceInfoSet> set = fromRegistry.AllDevices();
    std::uint8_t buffer[32];
    std::uint32_t required = 0;
    std::uint32_t error = 0;
    EXPECT_FALSE(set->HardwareIds(Member(*set, 0), buffer, sizeof buffer, &required, &error));
    EXPECT_EQ(error, kErrorInvalidData);
    EXPECT_TRUE(set->HardwareIds(Member(*set, 1), buffer, sizeof buffer, &required, &error));
    EXPECT_EQ(required, 24u);
}

}  // namespace
}  // namespace drvsweep::sim
