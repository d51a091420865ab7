#include "platform/win32/win32_system_restore.h"

#include <algorithm>
#include <cstring>

#include "platform/win32/bound_function.h"
#include "platform/win32/windows_api.h"

namespace drvsweep::win32 {

namespace {

// srrestoreptapi.h, which MinGW-w64 need not ship, declares both structures under pack(1).
constexpr DWORD kBeginSystemChange = 100;
constexpr DWORD kEndSystemChange = 101;
constexpr DWORD kApplicationUninstall = 1;
constexpr std::size_t kMaxDescription = 64;

#pragma pack(push, 1)
struct RestorePointInfoA {
    DWORD dwEventType;
    DWORD dwRestorePtType;
    INT64 llSequenceNumber;
    CHAR szDescription[kMaxDescription];
};

struct StateManagerStatus {
    DWORD nStatus;
    INT64 llSequenceNumber;
};
#pragma pack(pop)

static_assert(sizeof(RestorePointInfoA) == 80, "RESTOREPOINTINFOA is packed to 80 bytes");
static_assert(sizeof(StateManagerStatus) == 12, "STATEMGRSTATUS is packed to 12 bytes");

using SRSetRestorePointCall = BOOL WINAPI(RestorePointInfoA* restorePoint,
                                          StateManagerStatus* status);

RestorePointCall SetRestorePoint(RestorePointInfoA* info) {
    const auto setRestorePoint = BoundFunction<SRSetRestorePointCall>(
        LoadSystemLibrary("srclient.dll"), "SRSetRestorePointA");
    if (setRestorePoint == nullptr) {
        return RestorePointCall{};
    }
    StateManagerStatus status = {};
    RestorePointCall result;
    result.available = true;
    // Cleared first, so that a failure that names no cause (Wine's) reads 0, not an older error.
    SetLastError(ERROR_SUCCESS);
    result.succeeded = setRestorePoint(info, &status) != FALSE;
    // The status says why the call failed; where it names nothing, GetLastError does.
    result.status =
        result.succeeded || status.nStatus != ERROR_SUCCESS ? status.nStatus : GetLastError();
    result.sequence = status.llSequenceNumber;
    return result;
}

}  // namespace

RestorePointCall Win32SystemRestore::Begin(const char* description) {
    RestorePointInfoA info = {};
    info.dwEventType = kBeginSystemChange;
    info.dwRestorePtType = kApplicationUninstall;
    const std::size_t length = std::min(std::strlen(description), kMaxDescription - 1);
    std::memcpy(info.szDescription, description, length);
    return SetRestorePoint(&info);
}

RestorePointCall Win32SystemRestore::End(std::int64_t sequence) {
    RestorePointInfoA info = {};
    info.dwEventType = kEndSystemChange;
    info.dwRestorePtType = kApplicationUninstall;
    info.llSequenceNumber = sequence;
    return SetRestorePoint(&info);
}

}  // namespace drvsweep::win32
