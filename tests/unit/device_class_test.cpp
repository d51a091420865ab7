#include "discovery/device_class.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/sim/sim_windows.h"
#include "platform/win32_codes.h"

namespace drvsweep {
namespace {

constexpr char kInstance[] = "Enum\\USB\\VID_0C6E&PID_0051&MI_00\\1";

class DeviceClassTest : public ::testing::Test {
protected:
    DeviceClass Read(BusKind busKind = BusKind::Usb) {
        std::unique_ptr<RegistryKey> key;
        EXPECT_EQ(machine.platform().registry.OpenKey(kInstance, kKeyQueryValue, &key),
                  kErrorSuccess);
        return ReadDeviceClass(machine.platform().version, busKind, key.get());
    }

    // The instance key with the one class value (none when valueName is null).
    void SetClass(const char* valueName, const std::string& value) {
        machine.registry().RemoveTree(kInstance);
        machine.registry().SetString(kInstance, "DeviceDesc", "A device");
        if (valueName != nullptr) {
            machine.registry().SetString(kInstance, valueName, value);
        }
    }

    sim::SimWindows machine;
};

// Each family names the class by its own value; only the other functions' classes are never a
// scanner's, whatever their letter case.
TEST_F(DeviceClassTest, OnlyTheClassesOfOtherFunctionsAreNeverAScanners) {
    const struct {
        Family family;
        const char* valueName;
        const char* value;
        bool never;
    } cases[] = {
        {Family::Nt, "ClassGUID", "{36fc9e60-c465-11cf-8056-444553540000}", true},
        {Family::Nt, "ClassGUID", "{4D36E979-E325-11CE-BFC1-08002BE10318}", true},
        {Family::Nt, "ClassGUID", "{745a17a0-74d3-11d0-b6fe-00a0c90f57da}", true},
        {Family::Nt, "ClassGUID", "{4d36e967-e325-11ce-bfc1-08002be10318}", true},
        {Family::Nt, "ClassGUID", "{4d36e972-e325-11ce-bfc1-08002be10318}", true},
        {Family::Nt, "ClassGUID", "{6bdd1fc6-810f-11d0-bec7-08002be2092f}", false},
        {Family::Nt, "ClassGUID", "{a1b2c3d4-0c6e-4a51-9e00-quorin000001}", false},
        {Family::Nt, "ClassGUID", "36fc9e60-c465-11cf-8056-444553540000", false},
        {Family::Nt, nullptr, "", false},
        {Family::Nt, "Class", "USB", false},
        {Family::Win9x, "Class", "usb", true},
        {Family::Win9x, "Class", "PRINTER", true},
        {Family::Win9x, "Class", "HID", true},
        {Family::Win9x, "Class", "DiskDrive", true},
        {Family::Win9x, "Class", "Net", true},
        {Family::Win9x, "Class", "Image", false},
        {Family::Win9x, "Class", "USBPrint", false},
        {Family::Win9x, nullptr, "", false},
        {Family::Win9x, "ClassGUID", "{36fc9e60-c465-11cf-8056-444553540000}", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.family == Family::Nt ? "NT " : "9x ") +
                     (c.valueName ? c.valueName : "no class") + " " + c.value);
        machine.SetFamily(c.family);
        SetClass(c.valueName, c.value);
        EXPECT_EQ(Read(), c.never ? DeviceClass::kNeverScanner : DeviceClass::kMayBeScanner);
    }
}

// A class value that is there but cannot be read whole, or an instance key that could not be
// opened, may be another function's. A PC Card device's class is not read at all.
TEST_F(DeviceClassTest, AClassThatCannotBeReadIsUnreadableAndAPcCardIsNeverAsked) {
    SetClass("ClassGUID", std::string(260, 'G'));
    EXPECT_EQ(Read(), DeviceClass::kUnreadable) << "a value that does not fit 260 bytes";

    SetClass("ClassGUID", "{36fc9e60-c465-11cf-8056-444553540000}");
    machine.faults().Add({"RegQueryValueExA", "\\ClassGUID", 5});
    EXPECT_EQ(Read(), DeviceClass::kUnreadable);
    EXPECT_EQ(Read(BusKind::PcCard), DeviceClass::kMayBeScanner);
    EXPECT_EQ(machine.faults().strikes(), 1);

    VersionInfo& version = machine.platform().version;
    EXPECT_EQ(ReadDeviceClass(version, BusKind::Usb, nullptr), DeviceClass::kUnreadable);
    EXPECT_EQ(ReadDeviceClass(version, BusKind::PcCard, nullptr), DeviceClass::kMayBeScanner);
}

}  // namespace
}  // namespace drvsweep
