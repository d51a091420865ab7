#include "platform/sim/sim_scenario.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/sim/reg_file.h"

namespace drvsweep::sim {

namespace {

// The file's one word, blanks and line ends around it dropped; false when the file is missing.
bool ReadWord(const std::string& path, std::string* word) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const char* const kBlanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(kBlanks);
    *word = first == std::string::npos
                ? std::string()
                : text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
    return true;
}

bool LoadFamily(const std::string& folder, SimWindows* machine, std::string* error) {
    std::string family;
    if (!ReadWord(folder + "/family", &family) || family == "nt") {
        machine->SetFamily(Family::Nt);
    } else if (family == "9x") {
        machine->SetFamily(Family::Win9x);
    } else {
        *error = folder + "/family: \"" + family + "\" is neither nt nor 9x";
        return false;
    }
    return true;
}

bool LoadLanguage(const std::string& folder, SimWindows* machine, std::string* error) {
    std::string language;
    if (!ReadWord(folder + "/language", &language)) {
        machine->SetDefaultLanguage(1033);
        return true;
    }
    const bool digits = !language.empty() && language.size() <= 5 &&
                        language.find_first_not_of("0123456789") == std::string::npos;
    if (!digits || std::stoul(language) > 0xFFFF) {
        *error = folder + "/language: \"" + language + "\" is not a decimal language id";
        return false;
    }
    machine->SetDefaultLanguage(static_cast<std::uint16_t>(std::stoul(language)));
    return true;
}

// The optional file "system": the release ("98", "2000", "xp", "7", "10-1607" or "10-1703"),
// then "x64" for a 64-bit system. Without it the family's 32-bit release is kept.
bool LoadSystem(const std::string& folder, SimWindows* machine, std::string* error) {
    std::string system;
    if (!ReadWord(folder + "/system", &system)) {
        return true;
    }
    static const struct {
        const char* name;
        SimRelease release;
    } kReleases[] = {
        {"98", SimRelease::Windows98},           {"2000", SimRelease::Windows2000},
        {"xp", SimRelease::WindowsXp},           {"7", SimRelease::Windows7},
        {"10-1607", SimRelease::Windows10v1607}, {"10-1703", SimRelease::Windows10v1703},
    };
    const std::size_t blank = system.find(' ');
    const std::string name = system.substr(0, blank);
    const std::string bits = blank == std::string::npos ? "" : system.substr(blank + 1);
    for (const auto& known : kReleases) {
        if (name == known.name && (bits.empty() || bits == "x64")) {
            machine->packages().SetRelease(known.release, bits == "x64");
            return true;
        }
    }
    *error = folder + "/system: \"" + system + "\" names no known release";
    return false;
}

}  // namespace

bool LoadScenario(const std::string& hostFolder, SimWindows* machine, std::string* error) {
    std::error_code code;
    if (!std::filesystem::is_directory(hostFolder, code)) {
        *error = hostFolder + ": no such scenario folder";
        return false;
    }
    if (!LoadFamily(hostFolder, machine, error) || !LoadSystem(hostFolder, machine, error) ||
        !LoadLanguage(hostFolder, machine, error) ||
        !LoadRegFile(hostFolder + "/machine.reg", &machine->registry(), error)) {
        return false;
    }
    const std::string windir = hostFolder + "/windir";
    if (std::filesystem::is_directory(windir, code) &&
        !machine->files().MapHostFolder(windir, machine->files().windowsFolder(), error)) {
        return false;
    }
    machine->devices().AddDevicesFromRegistry();
    return true;
}

}  // namespace drvsweep::sim
