#include "fuzz/removal_oracle.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/sim/sim_inf_parser.h"
#include "platform/sim/sim_inf_strings.h"
#include "platform/win32_codes.h"

namespace drvsweep::fuzz {

namespace {

constexpr const char* kNtEnum = "system\\currentcontrolset\\enum";
constexpr const char* k9xEnum = "Enum\\";
constexpr const char* k9xClass = "SYSTEM\\CurrentControlSet\\Services\\class\\";

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\\', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// A registry path below a root as the registry reads it, doubled backslashes passed over;
// empty unless it names a key inside a branch (two components or more, no "." or "..").
std::string KeyInsideBranch(const std::string& path) {
    std::string joined;
    int components = 0;
    for (const std::string& part : Split(path)) {
        if (part.empty()) {
            continue;
        }
        if (part == "." || part == "..") {
            return "";
        }
        joined += (components++ > 0 ? "\\" : "") + part;
    }
    return components >= 2 ? joined : "";
}

// A whole string of the hardware-ID list; a string cut off by the end of the data is none.
bool ListHolds(const std::string& list, const std::string& devicePath) {
    std::size_t start = 0;
    while (start < list.size() && list[start] != '\0') {
        const std::size_t end = list.find('\0', start);
        if (end == std::string::npos) {
            return false;
        }
        if (list.compare(start, end - start, devicePath) == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

bool IsPlainComponent(const std::string& part) {
    if (part.empty() || part.front() == ' ' || part.back() == ' ' || part.back() == '.') {
        return false;
    }
    for (const char c : part) {
        if (static_cast<unsigned char>(c) < 0x20 || std::strchr("/:*?\"<>|,", c) != nullptr) {
            return false;
        }
    }
    return true;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool InTree(const std::string& path, const std::string& tree) {
    return path == tree || StartsWith(path, tree + "\\");
}

void AddDeviceItems(FuzzMachine& machine, const std::string& devicePath, ScannerItems& items) {
    for (const auto& device : machine.deviceHardwareIds) {
        if (!device.second || !ListHolds(*device.second, devicePath)) {
            continue;
        }
        items.devices.insert(device.first);
        const std::string key = std::string(kNtEnum) + "\\" + LowerAscii(device.first);
        items.keyTrees.push_back(key);
        for (std::size_t slash = key.rfind('\\'); slash > std::strlen(kNtEnum);
             slash = key.rfind('\\', slash - 1)) {
            items.emptiedKeys.insert(key.substr(0, slash));
        }
    }
}

void Add9xKeyItems(FuzzMachine& machine, const std::string& devicePath, ScannerItems& items) {
    const std::string device = KeyInsideBranch(devicePath);
    if (device.empty()) {
        return;
    }
    const std::string deviceKey = k9xEnum + device;
    items.keyTrees.push_back(LowerAscii(deviceKey));
    const std::vector<std::string> instances = machine.windows.registry().SubkeyNames(deviceKey);
    if (instances.empty()) {
        return;
    }
    const std::optional<sim::RegValue> driver =
        machine.windows.registry().Value(deviceKey + "\\" + instances.front(), "Driver");
    if (!driver) {
        return;
    }
    const std::string classKey = KeyInsideBranch(driver->bytes.substr(0, driver->bytes.find('\0')));
    if (!classKey.empty()) {
        items.keyTrees.push_back(LowerAscii(k9xClass + classKey));
    }
}

// Whether a field of the INF, as the Setup API reads it (its encoding, quotes, joined lines and
// strings), holds one of the maker's tokens. Read by the simulation's own parser, past any fault
// injected into the calls.
bool SetupApiReadsMakerToken(FuzzMachine& machine, const std::string& infBytes) {
    const std::uint32_t codePage = machine.windows.version().codePage().id();
    sim::ParsedInf inf;
    if (!sim::ParseInf(sim::DecodeInfBytes(codePage, infBytes), &inf)) {
        return false;
    }
    for (const sim::InfSectionData& section : inf.sections) {
        for (const sim::InfLineData& line : section.lines) {
            for (const sim::WideText& field : line.fields) {
                const std::string text = UpperAscii(sim::EncodeAnsi(
                    codePage, sim::SubstituteInfStrings(inf, field, u"C:\\windows\\inf")));
                for (const char* token : {"VID_0C6E", "RDN-CQ-D41E", "QUORIN"}) {
                    if (text.find(token) != std::string::npos) {
                        return true;
                    }
                }
            }
        }
    }
    return false;
}

// Whether the INF's text names the row's hardware ID. A driver package without a device takes
// its ID as the Setup API reads the line (quotes, strings and a line continued by a backslash),
// which the raw text need not hold: its INF need only hold one of the maker's tokens, in its
// text or as the Setup API reads it.
bool InfNamesRow(FuzzMachine& machine, const ScannerRecord& row, const std::string& infBytes) {
    const std::string inf = UpperAscii(infBytes);
    if (!row.packageOnly) {
        return inf.find(UpperAscii(row.devicePath.c_str())) != std::string::npos;
    }
    for (const char* token : {"VID_0C6E", "RDN-CQ-D41E", "QUORIN"}) {
        if (inf.find(token) != std::string::npos) {
            return true;
        }
    }
    return SetupApiReadsMakerToken(machine, infBytes);
}

// The INF when it is a file of the family's INF folder that lists the device; empty otherwise.
std::string BoundInf(FuzzMachine& machine, const ScannerRecord& row, bool nt,
                     std::string* infBytes) {
    const std::string infPath = row.infPath.c_str();
    const std::string folder =
        machine.windows.files().windowsFolder() + (nt ? "\\inf\\" : "\\inf\\other\\");
    if (!StartsWith(UpperAscii(infPath), UpperAscii(folder)) ||
        infPath.find('\\', folder.size()) != std::string::npos ||
        !machine.windows.files().ReadFile(infPath, infBytes) ||
        !InfNamesRow(machine, row, *infBytes)) {
        return "";
    }
    return infPath;
}

// Whether the INF names `folder` whole: after a backslash or a quote, and followed by the end of
// the line, a quote, a blank, a comma or a comment (so that "Quorin" is not read out of
// "twain_32\Quorin\K5210").
bool InfNamesFolder(const std::string& infBytes, const std::string& folder) {
    const std::string inf = UpperAscii(infBytes);
    const std::string name = UpperAscii(folder);
    for (std::size_t at = inf.find(name); at != std::string::npos; at = inf.find(name, at + 1)) {
        const std::size_t end = at + name.size();
        if (at > 0 && (inf[at - 1] == '\\' || inf[at - 1] == '"') &&
            (end == inf.size() ||
             (inf[end] != '\0' && std::strchr("\r\n\" ;,\t", inf[end]) != nullptr))) {
            return true;
        }
    }
    return false;
}

// The TWAIN folder when the row's name for it is plain and the scanner's own: the INF names it,
// or for a PC Card it is the fixed Orbdrv.
std::string BoundTwainFolder(const ScannerRecord& row, const std::string& infBytes) {
    const std::string folder = row.twainFolder.c_str();
    if (!IsPlainRelativeName(folder)) {
        return "";
    }
    if (row.busKind == BusKind::PcCard) {
        return folder == "Orbdrv" ? folder : "";
    }
    return InfNamesFolder(infBytes, folder) ? folder : "";
}

// Every folder below twain_32 and twain_64, by its name relative to that root: the names a
// package's TWAIN line may give.
std::set<std::string> DataSourceFolderNames(FuzzMachine& machine) {
    std::set<std::string> names;
    const std::string windows = UpperAscii(machine.windows.files().windowsFolder());
    machine.windows.files().VisitEntries(
        [&](const std::string& path, bool folder, std::uint32_t, std::size_t, bool) {
            const std::string upper = UpperAscii(path);
            for (const char* root : {"\\TWAIN_32\\", "\\TWAIN_64\\"}) {
                const std::string prefix = windows + root;
                if (folder && StartsWith(upper, prefix) && upper.size() > prefix.size()) {
                    names.insert(path.substr(prefix.size()));
                }
            }
        });
    return names;
}

// The names an INF's text gives after "twain_32\" (case ignored), up to the end of the line, a
// quote, a comma, a tab or a comment, blanks at the end taken off: the data source folders its
// TWAIN line may name, there or not.
std::set<std::string> TwainLineFolders(const std::string& infBytes) {
    std::set<std::string> names;
    const std::string upper = UpperAscii(infBytes);
    const std::string root = "TWAIN_32\\";
    for (std::size_t at = upper.find(root); at != std::string::npos;
         at = upper.find(root, at + 1)) {
        const std::size_t begin = at + root.size();
        std::size_t end = begin;
        while (end < infBytes.size() && infBytes[end] != '\0' &&
               std::strchr("\r\n\";,\t", infBytes[end]) == nullptr) {
            ++end;
        }
        // A name may hold blanks; the Setup API trims those at the end of the line.
        while (end > begin && infBytes[end - 1] == ' ') {
            --end;
        }
        if (end > begin) {
            names.insert(infBytes.substr(begin, end - begin));
        }
    }
    return names;
}

// The NT family's other packages of the scanner: every bare OEM*.INF of the INF folder that
// names the row's hardware ID as InfNamesRow tells it.
std::vector<std::string> OtherPackageInfs(FuzzMachine& machine, const ScannerRecord& row) {
    std::vector<std::string> infs;
    const std::string folder = machine.windows.files().windowsFolder() + "\\inf";
    for (const std::string& name : machine.windows.files().ListNames(folder)) {
        const std::string upper = UpperAscii(name);
        std::string bytes;
        if (StartsWith(upper, "OEM") && upper.size() > 7 &&
            upper.compare(upper.size() - 4, 4, ".INF") == 0 &&
            machine.windows.files().ReadFile(folder + "\\" + name, &bytes) &&
            InfNamesRow(machine, row, bytes)) {
            infs.push_back(folder + "\\" + name);
        }
    }
    return infs;
}

// The INF, its .pnf, and the data source folders and DLLs it names whole among `folders`.
void AddPackageItems(FuzzMachine& machine, const ScannerRecord& row, const std::string& inf,
                     const std::string& infBytes, const std::set<std::string>& folders,
                     ScannerItems& items) {
    const std::string upperInf = UpperAscii(inf);
    items.files.insert(upperInf);
    if (upperInf.size() > 4 && upperInf.compare(upperInf.size() - 4, 4, ".INF") == 0) {
        items.files.insert(upperInf.substr(0, upperInf.size() - 4) + ".PNF");
    }
    const std::string windows = UpperAscii(machine.windows.files().windowsFolder());
    for (const std::string& folder : folders) {
        const bool named = row.busKind == BusKind::PcCard
                               ? folder == "Orbdrv"
                               : IsPlainRelativeName(folder) && InfNamesFolder(infBytes, folder);
        if (!named) {
            continue;
        }
        items.fileTrees.push_back(windows + "\\TWAIN_32\\" + UpperAscii(folder));
        items.fileTrees.push_back(windows + "\\TWAIN_64\\" + UpperAscii(folder));
        for (const char* system :
             {"\\SYSTEM32\\", "\\SYSTEM32\\DRIVERS\\", "\\SYSTEM\\", "\\SYSWOW64\\"}) {
            items.files.insert(windows + system + UpperAscii(folder) + ".DLL");
        }
    }
}

// What the packages' install sections copied, as the machine recorded it, less every file whose
// name an INF of the INF folders that names none of the maker's tokens holds (another maker's,
// Windows' own): a removal must keep what those may need. The maker's other INF files are left
// out of that test, as the scanners they install may be removed earlier in the same run (the
// items are settled before the first step). A data source folder's subfolder goes with the
// files in it.
void AddInstalledFiles(FuzzMachine& machine, const std::vector<std::string>& packages,
                       ScannerItems& items) {
    std::set<std::string> packageSet;
    for (const std::string& package : packages) {
        packageSet.insert(UpperAscii(package));
    }
    std::vector<std::string> otherTexts;
    const std::string windows = machine.windows.files().windowsFolder();
    for (const std::string& folder : {windows + "\\inf", windows + "\\inf\\other"}) {
        for (const std::string& name : machine.windows.files().ListNames(folder)) {
            const std::string path = folder + "\\" + name;
            std::string bytes;
            if (packageSet.count(UpperAscii(path)) != 0 ||
                !machine.windows.files().ReadFile(path, &bytes)) {
                continue;
            }
            const std::string upper = UpperAscii(bytes);
            if (upper.find("VID_0C6E") == std::string::npos &&
                upper.find("RDN-CQ-D41E") == std::string::npos &&
                upper.find("QUORIN") == std::string::npos) {
                otherTexts.push_back(upper);
            }
        }
    }
    for (const std::string& package : packageSet) {
        const auto installed = machine.installedFiles.find(package);
        if (installed == machine.installedFiles.end()) {
            continue;
        }
        for (const std::string& file : installed->second) {
            const std::string name = file.substr(file.rfind('\\') + 1);
            bool listedElsewhere = false;
            for (const std::string& text : otherTexts) {
                listedElsewhere = listedElsewhere || text.find(name) != std::string::npos;
            }
            if (listedElsewhere) {
                continue;
            }
            items.files.insert(file);
            if (name == "QRNFZ.RES") {
                items.fileTrees.push_back(file.substr(0, file.rfind('\\')));
            }
        }
    }
}

void AddFileItems(FuzzMachine& machine, const ScannerRecord& row, bool nt, ScannerItems& items) {
    std::string infBytes;
    const std::string inf = BoundInf(machine, row, nt, &infBytes);
    const std::string windows = UpperAscii(machine.windows.files().windowsFolder());
    if (!inf.empty()) {
        const std::string folder = BoundTwainFolder(row, infBytes);
        std::set<std::string> folders;
        if (!folder.empty() && std::string(row.driverDll.c_str()) == folder + ".dll") {
            folders.insert(folder);
        } else if (!folder.empty()) {
            items.fileTrees.push_back(windows + "\\TWAIN_32\\" + UpperAscii(folder));
            items.fileTrees.push_back(windows + "\\TWAIN_64\\" + UpperAscii(folder));
        }
        AddPackageItems(machine, row, inf, infBytes, folders, items);
    }
    const std::vector<std::string> others =
        nt ? OtherPackageInfs(machine, row) : std::vector<std::string>();
    if (!others.empty()) {
        std::set<std::string> folders = DataSourceFolderNames(machine);
        folders.insert("Orbdrv");
        for (const std::string& other : others) {
            std::string bytes;
            machine.windows.files().ReadFile(other, &bytes);
            std::set<std::string> named = folders;
            for (const std::string& twain : TwainLineFolders(bytes)) {
                named.insert(twain);
            }
            AddPackageItems(machine, row, other, bytes, named, items);
        }
    }
    std::vector<std::string> packages = others;
    if (!inf.empty()) {
        packages.push_back(inf);
    }
    AddInstalledFiles(machine, packages, items);
    if ((!inf.empty() || !others.empty()) && row.busKind == BusKind::PcCard &&
        StartsWith(row.devicePath.c_str(), "PCMCIA\\")) {
        for (const char* kernel : {"\\SYSTEM32\\ORBDRV.VXD", "\\SYSTEM\\ORBDRV.VXD",
                                   "\\SYSTEM32\\DRIVERS\\ORBDRV.SYS"}) {
            items.files.insert(windows + kernel);
        }
    }
}

bool KeyAllowed(const ScannerItems& items, const std::string& path) {
    const std::string key = LowerAscii(path);
    if (items.emptiedKeys.count(key) != 0) {
        return true;
    }
    for (const std::string& tree : items.keyTrees) {
        if (InTree(key, tree)) {
            return true;
        }
    }
    return false;
}

// A folder below a TWAIN root (never the root) that holds one of the scanner's folders: the
// removal takes it once the scanner's folders leave it empty, and only then can it go.
bool IsEmptiedParent(const ScannerItems& items, const std::string& folder) {
    bool belowRoot = false;
    for (const char* root : {"\\TWAIN_32\\", "\\TWAIN_64\\", "\\TWAIN\\"}) {
        const std::size_t at = folder.find(root);
        belowRoot =
            belowRoot || (at != std::string::npos && at + std::strlen(root) < folder.size());
    }
    if (!belowRoot) {
        return false;
    }
    for (const std::string& tree : items.fileTrees) {
        if (tree.size() > folder.size() && tree.compare(0, folder.size(), folder) == 0 &&
            tree[folder.size()] == '\\') {
            return true;
        }
    }
    return false;
}

bool Writable(const ScannerItems& items, const std::string& path) {
    const std::string file = UpperAscii(path);
    for (const std::string& tree : items.writableTrees) {
        if (InTree(file, tree)) {
            return true;
        }
    }
    return false;
}

bool FileAllowed(const ScannerItems& items, const std::string& path) {
    const std::string file = UpperAscii(path);
    if (items.files.count(file) != 0 || Writable(items, file)) {
        return true;
    }
    for (const std::string& tree : items.fileTrees) {
        if (InTree(file, tree)) {
            return true;
        }
    }
    return IsEmptiedParent(items, file);
}

void Printable(const std::string& text, std::string* account) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            account->push_back(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            *account += escaped;
        }
    }
}

void Note(const char* what, const std::string& path, std::string* account) {
    *account += "  ";
    *account += what;
    *account += ": ";
    Printable(path, account);
    *account += "\n";
}

bool IsFilePresent(FuzzMachine& machine, const std::string& path, bool folder) {
    const sim::SimFileTree& files = machine.windows.files();
    return files.Exists(path) &&
           ((files.Attributes(path) & kFileAttributeDirectory) != 0) == folder;
}

// Whether the oracle finds anything of the item on the machine.
bool IsItemThere(FuzzMachine& machine, const PlanItem& item) {
    const std::string path = item.path.c_str();
    switch (item.kind) {
        case PlanItemKind::DeviceInstance:
            return machine.windows.registry().KeyExists(std::string(kNtEnum) + "\\" + path);
        case PlanItemKind::RegistryKey:
            return machine.windows.registry().KeyExists(path);
        case PlanItemKind::DriverFile:
            return IsFilePresent(machine, path, false);
        case PlanItemKind::DriverPackage:
            return IsFilePresent(machine, path, false) ||
                   (!item.package.pnfPath.empty() &&
                    IsFilePresent(machine, item.package.pnfPath.c_str(), false));
        case PlanItemKind::DataSourceFolder:
        case PlanItemKind::EmptyFolder:
            return IsFilePresent(machine, path, true);
        case PlanItemKind::ComClassKey:
            return machine.windows.registry().KeyExists(path);
    }
    return true;
}

bool IsItemAllowed(const ScannerItems& allowed, const ScannerRecord& row, const PlanItem& item) {
    switch (item.kind) {
        case PlanItemKind::DeviceInstance:
            return item.path == row.devicePath;
        case PlanItemKind::RegistryKey:
            return KeyAllowed(allowed, item.path.c_str());
        case PlanItemKind::DriverFile:
        case PlanItemKind::DataSourceFolder:
        case PlanItemKind::EmptyFolder:
            return FileAllowed(allowed, item.path.c_str());
        case PlanItemKind::ComClassKey:
            // The machines the fuzzer builds register no COM server: any such key is a breach.
            return false;
        case PlanItemKind::DriverPackage:
            return FileAllowed(allowed, item.path.c_str()) &&
                   (item.package.pnfPath.empty() ||
                    FileAllowed(allowed, item.package.pnfPath.c_str()));
    }
    return false;
}

}  // namespace

std::string AccountOfOutcome(FuzzMachine& machine, const RemovalOutcome& outcome,
                             const ScannerItems& allowed, const ScannerRecord& row,
                             bool faultStruck) {
    std::string account;
    for (const ItemResult& result : outcome.items) {
        const std::string path = result.item.path.c_str();
        if (!IsItemAllowed(allowed, row, result.item)) {
            Note("planned an item that is not the scanner's", path, &account);
        }
        if (faultStruck) {
            continue;
        }
        if (result.outcome == ItemOutcome::Deleted && IsItemThere(machine, result.item)) {
            Note("called deleted an item that is still there", path, &account);
        }
        if (result.outcome == ItemOutcome::DeletedAtRestart && !IsItemThere(machine, result.item) &&
            result.item.kind != PlanItemKind::DeviceInstance &&
            result.item.kind != PlanItemKind::DriverPackage) {
            Note("called an item that is gone left to the restart", path, &account);
        }
    }
    return account;
}

bool IsPlainRelativeName(const std::string& name) {
    for (const std::string& part : Split(name)) {
        if (!IsPlainComponent(part)) {
            return false;
        }
    }
    return true;
}

ScannerItems ItemsOf(FuzzMachine& machine, const ScannerRecord& row) {
    ScannerItems items;
    const bool nt = FamilyOfVersion(machine.windows.version().Version()) == Family::Nt;
    // A driver package without a device has no device of its own to remove.
    if (!row.packageOnly && nt) {
        AddDeviceItems(machine, row.devicePath.c_str(), items);
    } else if (!row.packageOnly) {
        Add9xKeyItems(machine, row.devicePath.c_str(), items);
    }
    if (!row.infPath.empty()) {
        AddFileItems(machine, row, nt, items);
    }
    return items;
}

ScannerItems MakerPackageItems(FuzzMachine& machine) {
    ScannerItems items;
    const bool nt = FamilyOfVersion(machine.windows.version().Version()) == Family::Nt;
    const std::string folder =
        machine.windows.files().windowsFolder() + (nt ? "\\inf" : "\\inf\\other");
    std::set<std::string> folders = DataSourceFolderNames(machine);
    folders.insert("Orbdrv");
    const std::string windows = UpperAscii(machine.windows.files().windowsFolder());
    for (const std::string& name : machine.windows.files().ListNames(folder)) {
        const std::string upperName = UpperAscii(name);
        std::string bytes;
        ScannerRecord row;
        row.packageOnly = true;
        if (upperName.size() < 5 || upperName.compare(upperName.size() - 4, 4, ".INF") != 0 ||
            !machine.windows.files().ReadFile(folder + "\\" + name, &bytes) ||
            !InfNamesRow(machine, row, bytes)) {
            continue;
        }
        const std::string upper = UpperAscii(bytes);
        const bool card = upper.find("PCMCIA\\") != std::string::npos &&
                          (upper.find("RDN-CQ-D41E") != std::string::npos ||
                           upper.find("QUORIN") != std::string::npos);
        row.busKind = card ? BusKind::PcCard : BusKind::Usb;
        std::set<std::string> named = folders;
        for (const std::string& twain : TwainLineFolders(bytes)) {
            named.insert(twain);
        }
        AddPackageItems(machine, row, folder + "\\" + name, bytes, named, items);
        if (card) {
            row.busKind = BusKind::Usb;
            AddPackageItems(machine, row, folder + "\\" + name, bytes, named, items);
            for (const char* kernel : {"\\SYSTEM32\\ORBDRV.VXD", "\\SYSTEM\\ORBDRV.VXD",
                                       "\\SYSTEM32\\DRIVERS\\ORBDRV.SYS"}) {
                items.files.insert(windows + kernel);
            }
        }
    }
    return items;
}

void Merge(const ScannerItems& items, ScannerItems* all) {
    all->devices.insert(items.devices.begin(), items.devices.end());
    all->keyTrees.insert(all->keyTrees.end(), items.keyTrees.begin(), items.keyTrees.end());
    all->emptiedKeys.insert(items.emptiedKeys.begin(), items.emptiedKeys.end());
    all->files.insert(items.files.begin(), items.files.end());
    all->fileTrees.insert(all->fileTrees.end(), items.fileTrees.begin(), items.fileTrees.end());
    all->writableTrees.insert(all->writableTrees.end(), items.writableTrees.begin(),
                              items.writableTrees.end());
}

std::string AccountOfBreaches(const MachineChanges& changes, const ScannerItems* allowed) {
    const ScannerItems nothing;
    const ScannerItems& items = allowed != nullptr ? *allowed : nothing;
    std::string account;
    for (const std::string& key : changes.deletedKeys) {
        if (!KeyAllowed(items, key)) {
            Note("deleted a key that is not the scanner's", key, &account);
        }
    }
    for (const std::string& key : changes.createdKeys) {
        Note("created a key", key, &account);
    }
    for (const std::string& value : changes.changedValues) {
        Note("changed a value", value, &account);
    }
    for (const std::string& file : changes.deletedFiles) {
        if (!FileAllowed(items, file)) {
            Note("deleted a file or folder that is not the scanner's", file, &account);
        }
    }
    for (const std::string& file : changes.createdFiles) {
        if (!Writable(items, file)) {
            Note("created a file or folder outside the folder of backups", file, &account);
        }
    }
    for (const std::string& file : changes.changedFiles) {
        if (!FileAllowed(items, file)) {
            Note("changed the attributes of a file that is not the scanner's", file, &account);
        }
    }
    for (const std::string& device : changes.removedDevices) {
        if (items.devices.count(device) == 0) {
            Note("removed a device whose hardware IDs do not hold devicePath", device, &account);
        }
    }
    for (const std::string& device : changes.addedDevices) {
        Note("added a device", device, &account);
    }
    for (const std::string& file : changes.scheduled) {
        if (!FileAllowed(items, file)) {
            Note("scheduled the deletion of a file or folder that is not the scanner's", file,
                 &account);
        }
    }
    return account;
}

void ReportBreach(const std::string& step, const std::string& account, const ScannerRecord* row) {
    std::string text = "DrvSweep removal oracle: breach in " + step + "\n";
    if (row != nullptr) {
        Note("row busKind", std::to_string(static_cast<int>(row->busKind)), &text);
        Note("row devicePath", row->devicePath.c_str(), &text);
        Note("row infPath", row->infPath.c_str(), &text);
        Note("row twainFolder", row->twainFolder.c_str(), &text);
        Note("row driverDll", row->driverDll.c_str(), &text);
    }
    text += account;
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
    std::abort();
}

}  // namespace drvsweep::fuzz
