#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/sim_windows.h"
#include "platform/win32_codes.h"
#include "removal/branch_key_path.h"
#include "removal/device_nodes_9x.h"
#include "removal/device_nodes_nt.h"
#include "removal/hardware_id_list.h"
#include "removal/plan_steps.h"
#include "removal/removal_walk.h"

namespace drvsweep {
namespace {

const char kK5210[] = "USB\\VID_0C6E&PID_5210";

TEST(HardwareIdListTest, MatchesWholeStringsWithinTheData) {
    using namespace std::string_literals;
    const struct {
        std::string list;
        bool holds;
    } kCases[] = {
        {"USB\\VID_0C6E&PID_5210\0\0"s, true},
        {"USB\\VID_0C6E&PID_5210&REV_0100\0USB\\VID_0C6E&PID_5210\0\0"s, true},
        {"USB\\VID_0C6E&PID_5210&REV_0100\0\0"s, false},
        {"USB\\VID_0C6E&PID_521\0\0"s, false},
        {"usb\\vid_0c6e&pid_5210\0\0"s, false},
        {"\0USB\\VID_0C6E&PID_5210\0\0"s, false},  // the empty string ends the list
        {"USB\\VID_0C6E&PID_5210\0"s, true},       // no list terminator
        {"USB\\VID_0C6E&PID_5210"s, false},        // cut off by the end of the data
        {"OTHER\0USB\\VID_0C6E&PID_5210"s, false},
        {""s, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.list);
        // A copy of exactly the list's size, so that ASan catches a read past it.
        const std::unique_ptr<std::uint8_t[]> data(new std::uint8_t[c.list.size()]);
        std::copy(c.list.begin(), c.list.end(), data.get());
        EXPECT_EQ(HardwareIdListHolds(data.get(), c.list.size(), kK5210), c.holds);
    }
}

TEST(BranchKeyPathTest, AcceptsOnlyAKeyInsideOneBranch) {
    const CodePage western;
    for (const char* good : {"Image\\0000", "USB\\VID_0C6E&PID_5210", "A\\B\\C", "Image\\.0"}) {
        EXPECT_TRUE(IsKeyPathBelowBranch(western, good)) << good;
    }
    for (const char* bad : {"", "Image", "\\Image\\0000", "Image\\", "Image\\\\0000", "Image\\..",
                            "..\\Enum", "Image\\.\\0000", "\\", "USB\\\xa5\x5c"}) {
        EXPECT_FALSE(IsKeyPathBelowBranch(western, bad)) << bad;
    }
    // Big5 功 (A5 5C) ends a key name without ending the path in a backslash.
    CodePage big5(950);
    big5.AddLeadByteRange(0x81, 0xFE);
    EXPECT_TRUE(IsKeyPathBelowBranch(big5, "USB\\\xa5\x5c"));
    EXPECT_TRUE(IsKeyPathBelowBranch(big5, "\xa5\x5c\\0000"));
    EXPECT_FALSE(IsKeyPathBelowBranch(big5, "USB\\\xa5\x5c\\"));
    EXPECT_FALSE(IsKeyPathBelowBranch(big5, "\xa5\x5c"));
}

class RemoveDeviceNodesNtTest : public ::testing::Test {
protected:
    void Remove(const char* devicePath = kK5210) {
        RemoveDeviceNodesNt(machine.platform(), devicePath);
    }

    // The instance ids of every successful removal call, as "id call".
    std::vector<std::string> Removals() {
        std::vector<std::string> removals;
        for (const sim::DeviceRemoval& removal : machine.devices().removals()) {
            removals.push_back(
                removal.instanceId +
                (removal.call == sim::RemovalCall::ClassInstaller ? " DIF_REMOVE" : " remove"));
        }
        return removals;
    }

    sim::SimWindows machine;
};

TEST_F(RemoveDeviceNodesNtTest, RemovesEveryInstanceThatHoldsTheExactPath) {
    sim::SimDevices& devices = machine.devices();
    devices.AddDevice(sim::SimDevice{"ROOT\\NONE\\0", std::nullopt, true});
    devices.AddDevice("USB\\A\\1", {"USB\\VID_0C6E&PID_5210&REV_0100", kK5210});
    devices.AddDevice("USB\\A\\2", {kK5210}, false);
    devices.AddDevice("USB\\B\\1", {"USB\\VID_0C6E&PID_52100"});
    devices.AddDevice("USB\\C\\1", {"usb\\vid_0c6e&pid_5210"});
    devices.AddDevice("USB\\D\\1", {});
    devices.AddDevice(sim::SimDevice{"USB\\E\\1", std::string(kK5210), true});
    devices.AddDevice("USB\\F\\1", {kK5210});
    machine.registry().CreateKey("SYSTEM\\CurrentControlSet\\Enum\\USB\\A\\1");
    Remove();
    // DIF_REMOVE takes the device away, so the SetupDiRemoveDevice that follows fails.
    EXPECT_EQ(Removals(), (std::vector<std::string>{"USB\\A\\1 DIF_REMOVE", "USB\\A\\2 DIF_REMOVE",
                                                    "USB\\F\\1 DIF_REMOVE"}));
    EXPECT_EQ(devices.InstanceIds(),
              (std::vector<std::string>{"ROOT\\NONE\\0", "USB\\B\\1", "USB\\C\\1", "USB\\D\\1",
                                        "USB\\E\\1"}));
    EXPECT_FALSE(machine.registry().KeyExists("SYSTEM\\CurrentControlSet\\Enum\\USB\\A"));
    EXPECT_EQ(machine.openHandles(), 0);
}

// Attachment asks the present devices alone, with the same exact hardware-ID match; the 9x
// family, and a set that cannot be built, cannot tell.
TEST_F(RemoveDeviceNodesNtTest, AttachmentIsAskedOfThePresentDevicesOnly) {
    sim::SimDevices& devices = machine.devices();
    devices.AddDevice("USB\\A\\1", {"USB\\VID_0C6E&PID_5210&REV_0100"});
    devices.AddDevice("USB\\A\\2", {kK5210}, false);
    EXPECT_EQ(DeviceAttachment(machine.platform(), kK5210), Attachment::NotAttached);
    devices.AddDevice("USB\\A\\3", {"OTHER", kK5210});
    EXPECT_EQ(DeviceAttachment(machine.platform(), kK5210), Attachment::Attached);
    EXPECT_EQ(machine.openHandles(), 0);
    machine.faults().Add(sim::FaultRule{"SetupDiGetClassDevsA", "DIGCF_PRESENT", 5});
    EXPECT_EQ(DeviceAttachment(machine.platform(), kK5210), Attachment::Unknown);
    machine.SetFamily(Family::Win9x);
    EXPECT_EQ(DeviceAttachment(machine.platform(), kK5210), Attachment::Unknown);
}

TEST_F(RemoveDeviceNodesNtTest, FailuresPassOneDeviceOverOrEndTheWalk) {
    sim::SimDevices& devices = machine.devices();
    devices.AddDevice("USB\\A\\1", {kK5210});
    devices.AddDevice("USB\\B\\1", {kK5210});
    devices.AddDevice("USB\\C\\1", {kK5210});
    devices.AddDevice("USB\\D\\1", {kK5210});
    machine.faults().Add(sim::FaultRule{"SetupDiGetDeviceRegistryPropertyA", "USB\\A\\1", 5});
    machine.faults().Add(sim::FaultRule{"SetupDiGetDeviceRegistryPropertyA", "USB\\B\\1", 122});
    machine.faults().Add(sim::FaultRule{"SetupDiCallClassInstaller", "USB\\C\\1", 5});
    machine.faults().Add(sim::FaultRule{"SetupDiEnumDeviceInfo", "3", 259});
    Remove();
    EXPECT_EQ(Removals(), std::vector<std::string>{"USB\\C\\1 remove"})
        << "a failed DIF_REMOVE is followed by SetupDiRemoveDevice";
    EXPECT_EQ(machine.openHandles(), 0);

    machine.faults().Add(sim::FaultRule{"SetupDiGetClassDevsA", "", 5});
    Remove();
    EXPECT_EQ(Removals().size(), 1u);
}

struct SetupApiCalls {
    int propertyReads = 0;
    int removals = 0;
};

// A Setup API of two devices whose hardware-ID property grows by `step` bytes with every call.
class GrowingPropertySet : public DeviceInfoSet {
public:
    GrowingPropertySet(std::uint32_t step, SetupApiCalls* calls) : step_(step), calls_(calls) {}

    bool EnumDevice(std::uint32_t index, DeviceInfoData* device) override {
        device->devInst = index;
        return index < 2;
    }
    bool HardwareIds(const DeviceInfoData&, std::uint8_t*, std::uint32_t size,
                     std::uint32_t* required, std::uint32_t* error) override {
        ++calls_->propertyReads;
        *required = size + step_;
        *error = kErrorInsufficientBuffer;
        return false;
    }
    bool CallRemoveInstaller(const DeviceInfoData&, bool*) override {
        return ++calls_->removals > 0;
    }
    bool RemoveDevice(const DeviceInfoData&) override { return ++calls_->removals > 0; }

private:
    std::uint32_t step_;
    SetupApiCalls* calls_;
};

class GrowingPropertyDevices : public DeviceInstances {
public:
    GrowingPropertyDevices(std::uint32_t step, SetupApiCalls* calls) : step_(step), calls_(calls) {}
    std::unique_ptr<DeviceInfoSet> AllDevices() override {
        return std::make_unique<GrowingPropertySet>(step_, calls_);
    }
    std::unique_ptr<DeviceInfoSet> AttachedDevices() override { return nullptr; }

private:
    std::uint32_t step_;
    SetupApiCalls* calls_;
};

// The sizing call and three grown buffers per device at most; a size far beyond any
// hardware-ID list is not allocated at all.
TEST_F(RemoveDeviceNodesNtTest, APropertyThatKeepsGrowingEndsTheDevicesAttempt) {
    const struct {
        std::uint32_t step;
        int readsPerDevice;
    } kCases[] = {{16, 4}, {64 * 1024 + 1, 1}, {0xFFFFFFF0u, 1}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.step);
        SetupApiCalls calls;
        GrowingPropertyDevices devices(c.step, &calls);
        Platform& sim = machine.platform();
        Platform platform{sim.version, sim.registry,      sim.inf,      sim.files,
                          devices,     sim.programs,      sim.packages, sim.fileFacts,
                          sim.runLock, sim.systemRestore, sim.clock};
        RemoveDeviceNodesNt(platform, kK5210);
        EXPECT_EQ(calls.propertyReads, 2 * c.readsPerDevice);
        EXPECT_EQ(calls.removals, 0);
    }
}

const char kDeviceKey[] = "Enum\\USB\\VID_0C6E&PID_5210";
const char kClassRoot[] = "SYSTEM\\CurrentControlSet\\Services\\Class";

// Each case gets a fresh machine, so that the calls it logs are its own.
class RemoveDeviceNodes9xTest : public ::testing::Test {
protected:
    void SetUp() override {
        machine = std::make_unique<sim::SimWindows>();
        machine->SetFamily(Family::Win9x);
        SetDriver("5&2F1C3A&0&2", "Image\\0000");
        SetDriver("6&1", "Image\\0005");
        for (const char* key : {"Image\\0000\\Settings", "Image\\0001", "Image\\0005"}) {
            machine->registry().CreateKey(std::string(kClassRoot) + "\\" + key);
        }
        machine->registry().CreateKey("Enum\\USB\\VID_0C6E&PID_7300");
    }

    void SetDriver(const std::string& instance, const std::string& driver) {
        machine->registry().SetString(std::string(kDeviceKey) + "\\" + instance, "Driver", driver);
    }

    void Remove(const std::string& devicePath = kK5210) {
        RunRemovalPlan(machine->platform(), DeviceItems(machine->platform(), devicePath.c_str()));
    }

    std::vector<std::string> Deletions() {
        std::vector<std::string> deletions;
        for (const std::string& call : machine->faults().calls()) {
            if (call.rfind("RegDeleteKeyA ", 0) == 0) {
                deletions.push_back(call.substr(14));
            }
        }
        return deletions;
    }

    std::vector<std::string> ClassKeys() {
        return machine->registry().SubkeyNames(std::string(kClassRoot) + "\\Image");
    }

    std::unique_ptr<sim::SimWindows> machine;
};

// With two instances, only the class key that the first one names goes; the device key goes
// with both instances.
TEST_F(RemoveDeviceNodes9xTest, DeletesTheClassKeyOfTheFirstInstanceThenTheDeviceKey) {
    Remove();
    EXPECT_EQ(Deletions(),
              (std::vector<std::string>{"SYSTEM\\CurrentControlSet\\Services\\class\\Image\\0000",
                                        kDeviceKey}));
    EXPECT_EQ(ClassKeys(), (std::vector<std::string>{"0001", "0005"}));
    EXPECT_FALSE(machine->registry().KeyExists(kDeviceKey));
    EXPECT_EQ(machine->openHandles(), 0);
}

TEST_F(RemoveDeviceNodes9xTest, ADriverValueThatNamesNoSingleClassKeyDeletesNoClassKey) {
    const struct {
        const char* why;
        std::uint32_t type;
        std::string bytes;
    } kCases[] = {
        {"empty", sim::kRegSz, std::string(1, '\0')},
        {"a whole class", sim::kRegSz, std::string("Image\0", 6)},
        {"the class root", sim::kRegSz, std::string("\\\0", 2)},
        {"a leading backslash", sim::kRegSz, std::string("\\Image\\0000\0", 12)},
        {"a trailing backslash", sim::kRegSz, std::string("Image\\\0", 7)},
        {"climbing", sim::kRegSz, std::string("Image\\..\\..\0", 12)},
        {"260 bytes without a terminator", sim::kRegBinary, "Image\\" + std::string(254, '0')},
        {"too long for the class path", sim::kRegSz, "Image\\" + std::string(220, '0') + '\0'},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        machine->registry().SetValue(std::string(kDeviceKey) + "\\5&2F1C3A&0&2", "Driver", c.type,
                                     c.bytes);
        Remove();
        EXPECT_EQ(Deletions(), std::vector<std::string>{kDeviceKey});
        EXPECT_EQ(ClassKeys(), (std::vector<std::string>{"0000", "0001", "0005"}));
        SetUp();
    }
    machine->registry().RemoveValue(std::string(kDeviceKey) + "\\5&2F1C3A&0&2", "Driver");
    Remove();
    EXPECT_EQ(ClassKeys(), (std::vector<std::string>{"0000", "0001", "0005"})) << "no Driver";
    EXPECT_FALSE(machine->registry().KeyExists(kDeviceKey));
}

// In code page 950 a device key whose name ends in Big5 功 (A5 5C) is one key, not a branch
// and an empty name: it goes with its class key, and the key named by its first byte stays.
TEST_F(RemoveDeviceNodes9xTest, AKeyNameEndingIn5CIsOneNameInABig5System) {
    ASSERT_TRUE(machine->version().SetAnsiCodePage(950));
    const std::string device = "Enum\\USB\\K\xa5\x5c";
    machine->registry().SetString(device + "\\0000", "Driver", "Image\\0001");
    machine->registry().CreateKey("Enum\\USB\\K\xa5");
    Remove("USB\\K\xa5\x5c");
    EXPECT_EQ(Deletions(), (std::vector<std::string>{
                               "SYSTEM\\CurrentControlSet\\Services\\class\\Image\\0001", device}));
    EXPECT_FALSE(machine->registry().KeyExists(device));
    EXPECT_TRUE(machine->registry().KeyExists("Enum\\USB\\K\xa5"));
    EXPECT_TRUE(machine->registry().KeyExists(kDeviceKey));
}

TEST_F(RemoveDeviceNodes9xTest, NothingIsDeletedWithoutAnOpenInstance) {
    const struct {
        const char* why;
        std::string devicePath;
        sim::FaultRule fault;
    } kCases[] = {
        {"no device key", "USB\\VID_0C6E&PID_3902", {}},
        {"no instance", "USB\\VID_0C6E&PID_7300", {}},
        {"the device key does not open", kK5210, {"RegOpenKeyExA", "PID_5210", 5, 0, 1}},
        {"no instance name", kK5210, {"RegEnumKeyA", "PID_5210", 5}},
        {"the instance key does not open", kK5210, {"RegOpenKeyExA", "0&2", 5}},
        {"a whole bus", "USB", {}},
        {"no path", "", {}},
        {"climbing", "USB\\..", {}},
        {"too long", "USB\\" + std::string(251, 'D'), {}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        if (!c.fault.call.empty()) {
            machine->faults().Add(c.fault);
        }
        Remove(c.devicePath);
        EXPECT_TRUE(Deletions().empty());
        EXPECT_TRUE(machine->registry().KeyExists("Enum\\USB\\VID_0C6E&PID_7300"));
        EXPECT_EQ(machine->openHandles(), 0);
        SetUp();
    }
}

}  // namespace
}  // namespace drvsweep
