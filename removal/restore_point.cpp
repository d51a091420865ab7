#include "removal/restore_point.h"

#include <memory>

#include "platform/win32_codes.h"

namespace drvsweep {

namespace {

constexpr char kDescription[] = "DrvSweep: removal of scanner drivers";
constexpr char kSystemRestoreKey[] =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\SystemRestore";
constexpr char kFrequencyValue[] = "SystemRestorePointCreationFrequency";
constexpr std::uint32_t kRegDword = 4;
constexpr WindowsRelease kWindows8{6, 2, 0};
constexpr std::uint32_t kErrorServiceDisabled = 1058;

// SystemRestorePointCreationFrequency as it was, to be put back after the call.
struct SavedFrequency {
    bool there = false;
    std::uint32_t type = 0;
    std::string bytes;
};

bool FindValue(RegistryKey& key, SavedFrequency* saved) {
    char name[64];
    std::string data(64, '\0');
    for (std::uint32_t index = 0;; ++index) {
        std::uint32_t type = 0;
        std::uint32_t size = static_cast<std::uint32_t>(data.size());
        const long status = key.EnumValue(index, name, sizeof name, &type, &data[0], &size);
        if (status == kErrorNoMoreItems) {
            return true;
        }
        if (status == kErrorMoreData) {
            continue;
        }
        if (status != kErrorSuccess) {
            return false;
        }
        name[sizeof name - 1] = '\0';
        if (EqualsIgnoringCase(CodePage(), name, kFrequencyValue)) {
            *saved = {true, type, data.substr(0, size)};
            return true;
        }
    }
}

}  // namespace

RestorePointNote RunRestorePoint::Begin() {
    if (tried_) {
        return {};
    }
    tried_ = true;
    WindowsRelease release;
    const bool allowEvery = platform_.packages.Release(&release) && IsAtLeast(release, kWindows8);
    std::unique_ptr<RegistryKey> key;
    SavedFrequency saved;
    bool set = false;
    if (allowEvery) {
        const std::uint32_t zero = 0;
        set = platform_.registry.OpenKeyInView(kSystemRestoreKey, kKeyRead | kKeySetValue,
                                               RegistryView::Native, &key) == kErrorSuccess &&
              FindValue(*key, &saved) &&
              key->SetValue(kFrequencyValue, kRegDword, &zero, sizeof zero) == kErrorSuccess;
    }
    const RestorePointCall call = platform_.systemRestore.Begin(kDescription);
    std::string putBack;
    if (set) {
        const bool back =
            saved.there
                ? key->SetValue(kFrequencyValue, saved.type, saved.bytes.data(),
                                static_cast<std::uint32_t>(saved.bytes.size())) == kErrorSuccess
                : key->DeleteValue(kFrequencyValue) == kErrorSuccess;
        if (!back) {
            putBack = "; SystemRestorePointCreationFrequency could not be put back as it was";
        }
    }
    if (!call.available) {
        return {false, "No restore point: this Windows has no System Restore" + putBack};
    }
    if (!call.succeeded) {
        return {false, call.status == kErrorServiceDisabled
                           ? "No restore point: System Restore is turned off" + putBack
                           : "No restore point: System Restore answered error " +
                                 std::to_string(call.status) + putBack};
    }
    begun_ = true;
    sequence_ = call.sequence;
    return {true, "Restore point made before the removal (System Restore sequence " +
                      std::to_string(sequence_) + ")" + putBack};
}

RestorePointNote RunRestorePoint::End() {
    if (!begun_) {
        return {};
    }
    begun_ = false;
    const RestorePointCall call = platform_.systemRestore.End(sequence_);
    if (!call.succeeded) {
        return {false, "The restore point could not be ended: System Restore answered error " +
                           std::to_string(call.status)};
    }
    return {true, "Restore point ended"};
}

}  // namespace drvsweep
