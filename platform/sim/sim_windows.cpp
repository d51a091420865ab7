#include "platform/sim/sim_windows.h"

#include <optional>

#include "platform/restart_deletion.h"
#include "platform/wininit_text.h"

namespace drvsweep::sim {

SimWindows::SimWindows()
    : version_(faults_),
      registry_(faults_, version_),
      files_(faults_, version_, registry_),
      inf_([this](const std::string& path,
                  std::string* bytes) { return files_.ReadFile(path, bytes); },
           faults_, version_),
      devices_(faults_, registry_),
      programs_(faults_, [this](const std::string& path) { return files_.Exists(path); }),
      packages_(faults_, files_, devices_),
      fileFacts_(faults_, files_),
      platform_{version_,  registry_,  inf_,     files_,         devices_, programs_,
                packages_, fileFacts_, runLock_, systemRestore_, clock_} {}

void SimWindows::SetFamily(Family family) {
    version_.SetVersion(family == Family::Nt ? SimVersion::kNtVersion : SimVersion::kWin9xVersion);
    SetRelease(family == Family::Nt ? SimRelease::WindowsXp : SimRelease::Windows98, false);
    fileFacts_.SetHasFileProtection(family == Family::Nt);
}

void SimWindows::SetRelease(SimRelease release, bool is64Bit) {
    packages_.SetRelease(release, is64Bit);
    const bool vistaOrLater = release != SimRelease::Windows98 &&
                              release != SimRelease::Windows2000 &&
                              release != SimRelease::WindowsXp;
    files_.SetCommonAppDataFolder(release == SimRelease::Windows98 ? ""
                                  : vistaOrLater
                                      ? "C:\\ProgramData"
                                      : "C:\\Documents and Settings\\All Users\\Application Data");
    systemRestore_.SetAvailable(release != SimRelease::Windows98 &&
                                release != SimRelease::Windows2000);
}

int SimWindows::openHandles() const {
    return registry_.openKeyCount() + inf_.openCount() + files_.openSearchCount() +
           devices_.openSetCount() + programs_.openTokenCount();
}

}  // namespace drvsweep::sim

namespace drvsweep::sim {

std::vector<std::string> SimWindows::PendingDeletions() const {
    if (version_.family() != Family::Nt) {
        std::string text;
        files_.ReadFile(files_.windowsFolder() + "\\WININIT.INI", &text);
        return WininitDeletions(version_.codePage(), text);
    }
    const std::optional<RegValue> value = registry_.Value(kSessionManagerKey, kPendingRenamesValue);
    return value ? PendingRenameDeletions(value->bytes) : std::vector<std::string>();
}

}  // namespace drvsweep::sim
