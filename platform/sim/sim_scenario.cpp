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
            machine->SetRelease(known.release, bits == "x64");
            return true;
        }
    }
    *error = folder + "/system: \"" + system + "\" names no known release";
    return false;
}

// The optional file "file_facts": one fact per line about a file of the Windows folder, its
// path relative to it: "protected <path>" (Windows protects it) or "company <path> <name>" (its
// version resource names the company). Under Wine (tests/wine/wine_run.sh) a company comes from
// a version resource laid over the fixture's file, which windir/ must hold, for the companies
// that tests/wine/company_files.cmake lists; a "protected" line is passed over there, as Wine's
// SfcIsFileProtected protects no file, so a test over both expects No under Wine.
bool LoadFileFacts(const std::string& folder, SimWindows* machine, std::string* error) {
    std::ifstream file(folder + "/file_facts", std::ios::binary);
    std::string line;
    const std::string windir = machine->files().windowsFolder() + "\\";
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::size_t blank = line.find(' ');
        const std::string fact = line.substr(0, blank);
        const std::string rest = blank == std::string::npos ? "" : line.substr(blank + 1);
        const std::size_t nameAt = rest.find(' ');
        if (fact == "protected" && !rest.empty()) {
            machine->fileFacts().Protect(windir + rest);
        } else if (fact == "company" && nameAt != std::string::npos) {
            machine->fileFacts().SetCompany(windir + rest.substr(0, nameAt),
                                            rest.substr(nameAt + 1));
        } else if (!line.empty()) {
            *error = folder + "/file_facts: \"" + line + "\" is no fact";
            return false;
        }
    }
    return true;
}

// Wine takes the ANSI code page from the same locale as the language: 936 for Chinese (PRC),
// 950 for Chinese (Taiwan) and (Hong Kong), 1252 for the others that scenarios use.
std::uint32_t CodePageOfLanguage(std::uint16_t language) {
    switch (language) {
        case 2052:
            return 936;
        case 1028:
        case 3076:
            return 950;
        default:
            return 1252;
    }
}

// The optional file "system_restore": "off" for a machine whose System Restore is turned off
// (where the release has it), "on" (the default) otherwise.
bool LoadSystemRestore(const std::string& folder, SimWindows* machine, std::string* error) {
    std::string state;
    if (!ReadWord(folder + "/system_restore", &state) || state == "on") {
        return true;
    }
    if (state != "off") {
        *error = folder + "/system_restore: \"" + state + "\" is neither on nor off";
        return false;
    }
    machine->systemRestore().SetTurnedOn(false);
    return true;
}

}  // namespace

bool LoadScenario(const std::string& hostFolder, SimWindows* machine, std::string* error) {
    std::error_code code;
    if (!std::filesystem::is_directory(hostFolder, code)) {
        *error = hostFolder + ": no such scenario folder";
        return false;
    }
    if (!LoadFamily(hostFolder, machine, error) || !LoadSystem(hostFolder, machine, error) ||
        !LoadSystemRestore(hostFolder, machine, error) ||
        !LoadLanguage(hostFolder, machine, error)) {
        return false;
    }
    machine->version().SetAnsiCodePage(CodePageOfLanguage(machine->version().DefaultLanguage()));
    if (!LoadRegFile(hostFolder + "/machine.reg", &machine->registry(), error)) {
        return false;
    }
    const std::string windir = hostFolder + "/windir";
    if (std::filesystem::is_directory(windir, code) &&
        !machine->files().MapHostFolder(windir, machine->files().windowsFolder(), error)) {
        return false;
    }
    // Every machine has its application data folder of all users, as Windows (and Wine's
    // prefix) makes it at setup.
    char appData[260];
    const std::uint32_t length = machine->files().CommonAppDataFolder(appData, sizeof appData);
    if (length > 0 && length < sizeof appData) {
        machine->files().AddFolder(std::string(appData, length));
    }
    machine->devices().AddDevicesFromRegistry();
    return LoadFileFacts(hostFolder, machine, error);
}

}  // namespace drvsweep::sim
