#include "removal/install_section.h"

#include <cstring>
#include <memory>

#include "discovery/models_lines.h"
#include "platform/registry_paths.h"
#include "platform/text_reads.h"
#include "platform/win32_codes.h"

namespace drvsweep {

namespace {

// The section a driver key names, when the key's InfPath is the package's INF.
bool SectionOfDriverKey(Platform& platform, const char* driver, const char* infName,
                        PathText* section) {
    const char* prefix = RegistryPathFor(RegistryPath::DeviceDriverKeyPrefix, Family::Nt);
    PathText path;
    std::unique_ptr<RegistryKey> key;
    if (!path.appendAll(prefix, driver) ||
        platform.registry.OpenKey(path.c_str(), kKeyQueryValue, &key) != kErrorSuccess) {
        return false;
    }
    PathText infPath;
    PathText base;
    PathText extension;
    if (!ReadStringValue(*key, "InfPath", &infPath) ||
        !EqualsIgnoringCase(platform.version.AnsiCodePage(), FileNamePart(infPath.c_str()),
                            infName) ||
        !ReadStringValue(*key, "InfSection", &base) || base.empty()) {
        return false;
    }
    // A driver key of Windows 2000 and XP may have no InfSectionExt: the section is undecorated.
    if (!ReadStringValue(*key, "InfSectionExt", &extension)) {
        extension.clear();
    }
    PathText full;
    if (!full.appendAll(base, extension)) {
        return false;
    }
    *section = full;
    return true;
}

bool FromDriverKey(Platform& platform, const ScannerRecord& package, PathText* section) {
    if (CurrentFamily(platform.version) != Family::Nt || package.packageOnly) {
        return false;
    }
    PathText devicePath;
    std::unique_ptr<RegistryKey> device;
    if (!devicePath.appendAll(RegistryPathFor(RegistryPath::DevicePresencePrefix, Family::Nt),
                              package.devicePath) ||
        platform.registry.OpenKey(devicePath.c_str(), kKeyRead, &device) != kErrorSuccess) {
        return false;
    }
    const char* infName = FileNamePart(package.infPath.c_str());
    PathText instance;
    for (unsigned index = 0; EnumSubkeyName(*device, index, &instance) == kErrorSuccess; ++index) {
        PathText instancePath;
        std::unique_ptr<RegistryKey> instanceKey;
        PathText driver;
        if (instancePath.appendAll(devicePath, "\\", instance) &&
            platform.registry.OpenKey(instancePath.c_str(), kKeyQueryValue, &instanceKey) ==
                kErrorSuccess &&
            ReadStringValue(*instanceKey, "Driver", &driver) && !driver.empty() &&
            SectionOfDriverKey(platform, driver.c_str(), infName, section)) {
            return true;
        }
    }
    return false;
}

// The decorations Windows tries for a section on this machine, the most specific first.
std::vector<const char*> Decorations(Platform& platform) {
    if (CurrentFamily(platform.version) != Family::Nt) {
        return {""};
    }
    PathText wow64;
    const bool is64Bit =
        ReadWow64Folder(platform.packages, platform.version.AnsiCodePage(), &wow64);
    return {is64Bit ? ".NTAMD64" : ".NTX86", ".NT", ""};
}

// Whether a models section's name suits this machine: undecorated, or decorated for its
// architecture ("Models.NTamd64.10.0" included). Compared upper-cased.
bool SuitsMachine(const char* upperSection, const std::vector<const char*>& decorations) {
    const char* dot = std::strchr(upperSection, '.');
    if (dot == nullptr) {
        return true;
    }
    for (const char* decoration : decorations) {
        const std::size_t length = std::strlen(decoration);
        if (length != 0 && std::strncmp(dot, decoration, length) == 0 &&
            (dot[length] == '\0' || dot[length] == '.')) {
            return true;
        }
    }
    return false;
}

bool FromModelsLine(Platform& platform, InfFile& inf, const ScannerRecord& package,
                    PathText* section) {
    const CodePage codePage = platform.version.AnsiCodePage();
    PathText pattern;
    if (!ModelsPattern(codePage, package.devicePath.c_str(), &pattern)) {
        return false;
    }
    const std::vector<const char*> decorations = Decorations(platform);
    PathText base;
    VisitModelsSections(inf, [&](const PathText& models) {
        PathText upper = models;
        UpperCaseAscii(codePage, upper.data());
        if (!SuitsMachine(upper.c_str(), decorations)) {
            return false;
        }
        return VisitModelsLines(inf, codePage, models.c_str(),
                                [&](const PathText& text, const InfLine& line) {
                                    return std::strstr(text.c_str(), pattern.c_str()) != nullptr &&
                                           ReadStringField(inf, line, 1, &base) && !base.empty();
                                });
    });
    if (base.empty()) {
        return false;
    }
    for (const char* decoration : decorations) {
        PathText candidate;
        if (candidate.appendAll(base, decoration) && inf.LineCount(candidate.c_str()) >= 0) {
            *section = candidate;
            return true;
        }
    }
    return false;
}

}  // namespace

InstallSectionSource FindInstallSection(Platform& platform, InfFile& inf,
                                        const ScannerRecord& package, PathText* section) {
    if (FromDriverKey(platform, package, section)) {
        return InstallSectionSource::DriverKey;
    }
    if (FromModelsLine(platform, inf, package, section)) {
        return InstallSectionSource::ModelsLine;
    }
    return InstallSectionSource::None;
}

}  // namespace drvsweep
