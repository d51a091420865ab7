#include "platform/sim/sim_windows.h"

#include <optional>

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
      platform_{version_, registry_, inf_, files_, devices_, programs_, packages_} {}

void SimWindows::SetFamily(Family family) {
    version_.SetVersion(family == Family::Nt ? SimVersion::kNtVersion : SimVersion::kWin9xVersion);
    packages_.SetRelease(family == Family::Nt ? SimRelease::WindowsXp : SimRelease::Windows98,
                         false);
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
        return WininitDeletions(text);
    }
    std::vector<std::string> paths;
    const std::optional<RegValue> value = registry_.Value(kSessionManagerKey, kPendingRenamesValue);
    if (!value) {
        return paths;
    }
    // Pairs of strings, the path and its new name, up to the empty string that ends the list.
    const std::string& list = value->bytes;
    for (std::size_t at = 0; at < list.size() && list[at] != '\0';) {
        const std::size_t pathEnd = list.find('\0', at);
        const std::size_t targetEnd =
            pathEnd == std::string::npos ? pathEnd : list.find('\0', pathEnd + 1);
        if (targetEnd == std::string::npos) {
            break;
        }
        std::string path = list.substr(at, pathEnd - at);
        if (targetEnd == pathEnd + 1) {
            paths.push_back(path.compare(0, 4, "\\??\\") == 0 ? path.substr(4) : path);
        }
        at = targetEnd + 1;
    }
    return paths;
}

}  // namespace drvsweep::sim
