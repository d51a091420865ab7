#include "platform/sim/sim_system_restore.h"

#include <algorithm>

#include "platform/win32_codes.h"

namespace drvsweep::sim {

namespace {

// RESTOREPOINTINFOA.szDescription holds 64 bytes, the terminator included.
constexpr std::size_t kMaxDescription = 63;

}  // namespace

RestorePointCall SimSystemRestore::Ran(bool succeeded, std::uint32_t status,
                                       std::int64_t sequence) const {
    RestorePointCall result;
    result.available = true;
    result.succeeded = succeeded;
    result.status = status;
    result.sequence = sequence;
    return result;
}

RestorePointCall SimSystemRestore::Begin(const char* description) {
    if (!available_) {
        return RestorePointCall{};
    }
    const std::string text = std::string(description ? description : "").substr(0, kMaxDescription);
    long error = 0;
    if (faults_.ShouldFail("SRSetRestorePointA", text, &error)) {
        return Ran(false, static_cast<std::uint32_t>(error), 0);
    }
    if (!turnedOn_) {
        return Ran(false, kErrorServiceDisabled, 0);
    }
    open_.push_back(++lastSequence_);
    calls_.push_back(SimRestorePointCall{true, text, lastSequence_});
    return Ran(true, 0, lastSequence_);
}

RestorePointCall SimSystemRestore::End(std::int64_t sequence) {
    if (!available_) {
        return RestorePointCall{};
    }
    long error = 0;
    if (faults_.ShouldFail("SRSetRestorePointA", std::to_string(sequence), &error)) {
        return Ran(false, static_cast<std::uint32_t>(error), sequence);
    }
    if (!turnedOn_) {
        return Ran(false, kErrorServiceDisabled, sequence);
    }
    const auto begun = std::find(open_.begin(), open_.end(), sequence);
    if (begun == open_.end()) {
        return Ran(false, static_cast<std::uint32_t>(kErrorInvalidData), sequence);
    }
    open_.erase(begun);
    calls_.push_back(SimRestorePointCall{false, "", sequence});
    return Ran(true, 0, sequence);
}

}  // namespace drvsweep::sim
