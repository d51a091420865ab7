#include "platform/sim/sim_windows.h"

namespace drvsweep::sim {

SimWindows::SimWindows()
    : version_(faults_),
      registry_(faults_, version_),
      files_(faults_),
      inf_([this](const std::string& path,
                  std::string* bytes) { return files_.ReadFile(path, bytes); },
           faults_),
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
