#include "fuzz/fuzz_machine.h"

#include <cstdint>
#include <string>

#include "fuzz/machine_snapshot.h"
#include "fuzz/machine_texts.h"
#include "fuzz/removal_oracle.h"
#include "platform/sim/sim_devices.h"
#include "platform/win32_codes.h"

namespace drvsweep::fuzz {

namespace {

constexpr const char* kNtEnum = "SYSTEM\\CurrentControlSet\\Enum\\";
constexpr const char* k9xEnum = "Enum\\";
constexpr const char* k9xClass = "SYSTEM\\CurrentControlSet\\Services\\class\\";
constexpr const char* kImageClassGuid = "{6bdd1fc6-810f-11d0-bec7-08002be2092f}";
constexpr const char* kUsbClassGuid = "{36FC9E60-C465-11CF-8056-444553540000}";
// The instance name that stands for another function of a multifunction device: its class is
// never a scanner's. Told by the name already chosen, so that the corpus's inputs still build
// the machines they did, apart from that class.
constexpr const char* kOtherFunctionInstance = "9&ab";

struct Builder {
    FuzzInput& input;
    FuzzMachine& machine;
    bool nt = true;
    std::string windir;
    // "USB\..." and "PCMCIA\..." of the device keys made so far, for hardware IDs and INFs.
    std::vector<std::string> devicePaths;
    std::vector<std::string> twainFolders;

    sim::SimRegistry& registry() { return machine.windows.registry(); }
    sim::SimFileTree& files() { return machine.windows.files(); }

    std::uint32_t FileAttributes() {
        static const std::uint32_t kAttributes[] = {kFileAttributeArchive,
                                                    kFileAttributeArchive,
                                                    kFileAttributeArchive | kFileAttributeReadOnly,
                                                    kFileAttributeArchive | kFileAttributeHidden,
                                                    kFileAttributeArchive | kFileAttributeHidden |
                                                        kFileAttributeSystem |
                                                        kFileAttributeReadOnly,
                                                    kFileAttributeNormal};
        return input.Choose(kAttributes);
    }

    std::uint32_t FolderAttributes() {
        static const std::uint32_t kAttributes[] = {
            kFileAttributeDirectory, kFileAttributeDirectory,
            kFileAttributeDirectory | kFileAttributeArchive,
            kFileAttributeDirectory | kFileAttributeReadOnly,
            kFileAttributeDirectory | kFileAttributeHidden};
        return input.Choose(kAttributes);
    }

    void AddFile(const std::string& path, const std::string& bytes = "x") {
        files().AddFile(path, bytes, FileAttributes());
        if (input.Below(8) == 0) {
            files().SetInUse(path, true);
        }
    }

    void BuildFamily() {
        nt = input.Below(3) != 0;
        machine.windows.SetFamily(nt ? Family::Nt : Family::Win9x);
        static const std::uint16_t kLanguages[] = {1033, 2052, 1028, 3076};
        machine.windows.SetDefaultLanguage(input.Choose(kLanguages));
        static const char* const kWindows[] = {"C:\\windows", "C:\\WINNT", "D:\\Win98",
                                               "C:\\Windows Folder"};
        windir = input.Below(8) == 0 ? "C:\\" + std::string(200 + input.Below(50), 'W')
                                     : input.Choose(kWindows);
        files().SetWindowsFolder(windir);
        for (const char* folder :
             {"", "\\system32", "\\system32\\drivers", "\\system", "\\SysWOW64", "\\inf",
              "\\inf\\other", "\\twain_32", "\\twain_64"}) {
            files().AddFolder(windir + folder);
        }
        // Where the NT family keeps the application data of all users, and with it backups.
        files().AddFolder("C:\\ProgramData");
        files().AddFolder("C:\\Documents and Settings\\All Users\\Application Data");
    }

    std::string HardwareIdList(const std::string& own) {
        std::string list;
        const std::size_t count = input.Below(4);
        for (std::size_t i = 0; i < count; ++i) {
            std::string id;
            switch (input.Below(5)) {
                case 0:
                    id = own + "&Rev_0100";
                    break;
                case 1:
                    for (const char c : own) {
                        id.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
                    }
                    break;
                case 2:
                    id = devicePaths.empty() ? own : devicePaths[input.Below(devicePaths.size())];
                    break;
                default:
                    id = own;
                    break;
            }
            list += id;
            list.push_back('\0');
        }
        // Mostly ended by the empty string; sometimes cut off before it.
        if (input.Below(6) != 0) {
            list.push_back('\0');
        }
        return list;
    }

    void AddInstance(const std::string& bus, const std::string& keyName) {
        const std::string devicePath = bus + "\\" + keyName;
        const std::string instance = InstanceName(input);
        const std::string key = (nt ? kNtEnum : k9xEnum) + devicePath + "\\" + instance;
        if (!registry().CreateKey(key)) {
            return;
        }
        if (input.Below(6) != 0) {
            registry().SetValue(key, "DeviceDesc", sim::kRegSz, DescriptionBytes(input));
        }
        if (input.Below(4) != 0) {
            registry().SetValue(key, "Driver", sim::kRegSz, DriverBytes(input));
        }
        const bool otherFunction = instance == kOtherFunctionInstance;
        if (!nt) {
            if (otherFunction) {
                registry().SetString(key, "Class", "Printer");
            }
            return;
        }
        std::optional<std::string> ids;
        if (input.Below(6) != 0) {
            ids = HardwareIdList(devicePath);
            registry().SetValue(key, "HardwareID", sim::kRegMultiSz, *ids);
        }
        registry().SetString(key, "ClassGUID", otherFunction ? kUsbClassGuid : kImageClassGuid);
        const std::string instanceId = devicePath + "\\" + instance;
        machine.windows.devices().AddDevice(sim::SimDevice{instanceId, ids, input.Flag()});
        machine.deviceHardwareIds.emplace_back(instanceId, ids);
    }

    void BuildDevices() {
        const std::size_t count = 1 + input.Below(7);
        for (std::size_t i = 0; i < count; ++i) {
            std::string bus;
            std::string keyName;
            switch (input.Below(5)) {
                case 0:
                case 1:
                    bus = "USB";
                    keyName = UsbKeyName(input);
                    break;
                case 2:
                    bus = "PCMCIA";
                    keyName = PcCardKeyName(input);
                    break;
                default: {
                    static const char* const kOthers[] = {"PCI\\VEN_8086&DEV_1234", "ROOT\\IMAGE",
                                                          "SCSI\\Scanner",
                                                          "USB\\VID_046D&PID_0A44"};
                    const std::string other = input.Choose(kOthers);
                    bus = other.substr(0, other.find('\\'));
                    keyName = other.substr(other.find('\\') + 1);
                    break;
                }
            }
            const std::size_t instances = input.Below(4);
            for (std::size_t n = 0; n < instances; ++n) {
                AddInstance(bus, keyName);
            }
            if (instances == 0) {
                registry().CreateKey((nt ? kNtEnum : k9xEnum) + bus + "\\" + keyName);
            }
            devicePaths.push_back(bus + "\\" + keyName);
        }
        if (!nt) {
            for (const char* classKey : {"Image\\0000", "Image\\0001", "Image\\0000\\Sub",
                                         "Net\\0000", "Image\\.\\0000"}) {
                registry().SetString(k9xClass + std::string(classKey), "DriverDesc", classKey);
            }
        }
    }

    void BuildUninstallKeys() {
        static const char* const kNames[] = {"quorin K5210", "quorin MPX_730",
                                             "quorin PT250", "quorin Doc_392",
                                             "quorin PT736", "Quorin Scanner Duolanxing Driver"};
        static const char* const kPrefixes[] = {
            "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\",
            "Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"};
        const std::size_t count = input.Below(3);
        for (std::size_t i = 0; i < count; ++i) {
            const std::string name = input.Flag() || devicePaths.empty()
                                         ? input.Choose(kNames)
                                         : devicePaths[input.Below(devicePaths.size())];
            registry().SetString(input.Choose(kPrefixes) + name, "UninstallString",
                                 UninstallCommandLine(input));
        }
        files().AddFile(kUninstallerProgram, "MZ");
    }

    std::string ModelsLine() {
        std::string id = devicePaths.empty() ? "USB\\VID_0C6E&PID_5210"
                                             : devicePaths[input.Below(devicePaths.size())];
        switch (input.Below(4)) {
            case 0:
                id += "&REV_0100";
                break;
            case 1:
                id = id.substr(0, id.size() / 2);
                break;
            default:
                break;
        }
        return "%Desc%=Install," + id + "\r\n";
    }

    std::string InfText(const std::string& folder) {
        static const char* const kSignatures[] = {"\"$Windows NT$\"", "\"$CHICAGO$\"",
                                                  "\"$Windows 95$\"", "\"$Nonsense$\""};
        std::string text = "[Version]\r\nSignature=" + std::string(input.Choose(kSignatures)) +
                           "\r\nClass=Image\r\n";
        if (input.Flag()) {
            text += "CatalogFile=quorin.cat\r\n";
        }
        text += input.Flag() ? "[Manufacturer]\r\n%Mfg%=Models\r\n"
                             : "[Manufacturer]\r\nQuorin=Models,NTx86\r\n";
        text += "[Models]\r\n";
        const std::size_t models = 1 + input.Below(3);
        for (std::size_t i = 0; i < models; ++i) {
            text += ModelsLine();
        }
        text += "[DestinationDirs]\r\n";
        const std::size_t lines = input.Below(4);
        for (std::size_t i = 0; i < lines; ++i) {
            text += DestinationDirsLine(input, folder) + "\r\n";
        }
        text += "[Strings]\r\nMfg=\"Quorin\"\r\nDesc=\"Quorin Scanner\"\r\nTwainDir=\"" +
                TwainDirString(input, folder) + "\"\r\n";
        return text;
    }

    // The models lines' install section, chosen from what was read already (the corpus builds
    // the machines it did, apart from this): files copied to the system folder, to a data
    // source folder's subfolder, and names and destinations the removal must refuse. What may
    // go is recorded for the oracle, and the files are put on the machine.
    void AddInstallSection(const std::string& infPath, const std::string& folder, std::size_t index,
                           std::string* text) {
        const std::size_t variant = index + folder.size() + devicePaths.size();
        if (variant % 3 == 0) {
            return;
        }
        static const char* const kNames[] = {"qrnfz.dll", "QRNFZ~1.DLL", "..\\qrnfz.dll",
                                             "qrnfzui.dll"};
        static const char* const kDestinations[] = {"11", "10,system32", "16422,Quorin",
                                                    "10,\"twain_32\\..\"", "12"};
        const std::string name = kNames[variant % 4];
        const std::string destination = kDestinations[variant % 5];
        const bool plainName = variant % 4 == 0 || variant % 4 == 3;
        std::string systemFolder;
        switch (variant % 5) {
            case 0:
            case 1:
                systemFolder = nt ? "\\system32" : (variant % 5 == 0 ? "\\system" : "\\system32");
                break;
            case 4:
                systemFolder = nt ? "\\system32\\drivers" : "\\system\\IOSUBSYS";
                break;
            default:
                break;
        }
        *text +=
            "[Install]\r\nCopyFiles=Files,Resources\r\n[Install.NT]\r\n"
            "CopyFiles=Files,Resources\r\n[Install.NTx86]\r\nCopyFiles=Files,Resources\r\n"
            "[DestinationDirs]\r\nFiles=" +
            destination + "\r\nResources=10,twain_32\\" + folder + "\\Res\r\n[Files]\r\n" + name +
            "\r\n[Resources]\r\nqrnfz.res\r\n";
        std::vector<std::string>& installed = machine.installedFiles[UpperAscii(infPath)];
        if (plainName && !systemFolder.empty()) {
            const std::string path = windir + systemFolder + "\\" + name;
            AddFile(path);
            installed.push_back(UpperAscii(path));
        }
        // Where a removal that misread a refused name or destination would reach.
        AddFile(windir + "\\qrnfz.dll");
        if (IsPlainRelativeName(folder)) {
            const std::string path = windir + "\\twain_32\\" + folder + "\\Res\\qrnfz.res";
            AddFile(path);
            installed.push_back(UpperAscii(path));
        }
    }

    void BuildInfFolder() {
        const std::string infFolder = windir + (nt ? "\\inf\\" : "\\inf\\other\\");
        const std::size_t count = input.Below(5);
        for (std::size_t i = 0; i < count; ++i) {
            const std::string folder = TwainFolderName(input);
            twainFolders.push_back(folder);
            std::string stem = "oem" + std::to_string(i);
            switch (input.Below(6)) {
                case 0:
                    stem = "quorin";
                    break;
                case 1:
                    // A folder that matches the listing's pattern is not an INF.
                    files().AddFolder(infFolder + stem + "9.inf");
                    break;
                default:
                    break;
            }
            std::string text = InfText(folder);
            AddInstallSection(infFolder + stem + ".inf", folder, i, &text);
            AddFile(infFolder + stem + ".inf", text);
            if (input.Flag()) {
                AddFile(infFolder + stem + ".pnf");
            }
        }
        AddFile(infFolder + "usb.inf", "[Version]\r\nSignature=\"$Windows NT$\"\r\n");
        files().AddFile(infFolder + "oem" + std::to_string(count) + ".inf",
                        JoinedInfText(count + windir.size() + devicePaths.size()));
    }

    // An INF whose bytes hold none of the maker's tokens as they stand: a hardware ID that the
    // Setup API reads as the maker's only through its joins (quotes, a continued line, a string,
    // UTF-16), another maker's, or a near miss. It puts the scan that passes over INF files to
    // the test. Told by what was chosen already, so that the corpus's inputs still build the
    // machines they did, apart from this file.
    static std::string JoinedInfText(std::size_t variant) {
        static const char* const kIds[][2] = {
            {"USB\\VID_04B8&PID_0001", ""},
            {"\"USB\\VID_0C\"6E&PID_7F7F", ""},
            {"USB\\VID_0C \\ ; joined\r\n  6E&PID_7F7F", ""},
            {"USB\\VID_%Vendor%&PID_7F7F", "Vendor=\"0C6E\"\r\n"},
            {"USB\\%Vid%_0C6E&PID_7F7F", "Vid=VID\r\n"},
            {"USB\\VID_0C%Six%&PID_7F7F", "Six=6F\r\n"},
            {"USB\\VID_0C6E&PID_7F7F", ""},
        };
        const std::size_t chosen = variant % (sizeof kIds / sizeof kIds[0]);
        const std::string text =
            "[Version]\r\nSignature=\"$Windows NT$\"\r\n[Manufacturer]\r\n%Mfg%=Models\r\n"
            "[Models]\r\n%Desc%=Install," +
            std::string(kIds[chosen][0]) + "\r\n[Strings]\r\nMfg=\"Acme\"\r\nDesc=Scanner\r\n" +
            kIds[chosen][1];
        if (chosen + 1 < sizeof kIds / sizeof kIds[0]) {
            return text;
        }
        // The last one in UTF-16LE, where no byte sequence spells the token in ANSI.
        std::string utf16 = "\xFF\xFE";
        for (const char c : text) {
            utf16.push_back(c);
            utf16.push_back('\0');
        }
        return utf16;
    }

    // A data source folder with its .ds file, other files and a subfolder whose attribute
    // word decides whether the tree deletion enters it.
    void AddDataSource(const std::string& root, const std::string& folder) {
        const std::string path = windir + root + folder;
        files().AddFolder(path, FolderAttributes());
        AddFile(path + "\\" + folder + ".ds");
        if (input.Flag()) {
            AddFile(path + "\\readme.txt");
        }
        if (input.Flag()) {
            files().AddFolder(path + "\\sub", FolderAttributes());
            AddFile(path + "\\sub\\inner.dat");
        }
    }

    void BuildFileTree() {
        for (const std::string& folder : twainFolders) {
            if (input.Below(4) != 0) {
                AddDataSource("\\twain_32\\", folder);
            }
            if (input.Flag()) {
                AddDataSource("\\twain_64\\", folder);
            }
            for (const char* system :
                 {"\\system32\\", "\\system32\\drivers\\", "\\system\\", "\\SysWOW64\\"}) {
                if (input.Flag()) {
                    AddFile(windir + system + folder + ".dll");
                }
            }
        }
        if (input.Flag()) {
            AddDataSource("\\twain_32\\", "Orbdrv");
        }
        AddDataSource("\\twain_32\\", "OtherVendor");
        AddDataSource("\\twain_64\\", "OtherVendor");
        AddFile(windir + "\\twain_32\\sample.ds");
        AddFile(windir + "\\twain_32.dll");
        for (const char* file :
             {"\\system32\\kernel32.dll", "\\system32\\drivers\\usbscan.sys",
              "\\system\\Orbdrv.vxd", "\\system32\\Orbdrv.vxd", "\\system32\\drivers\\Orbdrv.sys",
              "\\system32\\Orbdrv.dll", "\\system\\Orbdrv.dll", "\\SysWOW64\\Orbdrv.dll"}) {
            if (input.Below(3) != 0) {
                AddFile(windir + file);
            }
        }
        static const char* const kWorking[] = {"", "\\system32", "\\twain_32", "\\inf"};
        const std::string working = input.Flag() ? "C:\\" : windir + input.Choose(kWorking);
        files().SetCurrentFolder(working.c_str());
    }

    void BuildFaults() {
        static const char* const kCalls[] = {"RegOpenKeyExA",
                                             "RegEnumKeyA",
                                             "RegQueryValueExA",
                                             "RegDeleteKeyA",
                                             "FindFirstFileA",
                                             "FindNextFileA",
                                             "SetCurrentDirectoryA",
                                             "GetCurrentDirectoryA",
                                             "GetWindowsDirectoryA",
                                             "SetFileAttributesA",
                                             "DeleteFileA",
                                             "RemoveDirectoryA",
                                             "SetupOpenInfFileA",
                                             "SetupGetLineTextA",
                                             "SetupGetLineCountA",
                                             "SetupFindFirstLineA",
                                             "SetupFindNextLine",
                                             "SetupDiGetClassDevsA",
                                             "SetupDiEnumDeviceInfo",
                                             "SetupDiGetDeviceRegistryPropertyA",
                                             "SetupDiCallClassInstaller",
                                             "SetupDiRemoveDevice",
                                             "ShellExecuteA"};
        static const char* const kArguments[] = {"",       "twain_32", "inf",    "Enum",
                                                 "system", "0c6e",     "Orbdrv", "class"};
        static const long kCodes[] = {5, 2, 3, 32, 122, 234, 13};
        static const int kTimes[] = {1, 2, -1};
        const std::size_t count = input.Below(4) == 0 ? 1 + input.Below(2) : 0;
        for (std::size_t i = 0; i < count; ++i) {
            sim::FaultRule rule;
            rule.call = input.Choose(kCalls);
            rule.argumentContains = input.Choose(kArguments);
            rule.errorCode = input.Choose(kCodes);
            rule.skip = static_cast<int>(input.Below(12));
            rule.times = input.Choose(kTimes);
            machine.faults.push_back(rule);
            machine.windows.faults().Add(rule);
        }
    }
};

}  // namespace

bool FuzzMachine::HasFaultOn(const char* call) const {
    for (const sim::FaultRule& rule : faults) {
        if (rule.call == call) {
            return true;
        }
    }
    return false;
}

void BuildMachine(FuzzInput& input, FuzzMachine& machine) {
    machine.windows.faults().RecordCalls(false);
    Builder builder{input, machine, true, "", {}, {}};
    builder.BuildFamily();
    builder.BuildDevices();
    builder.BuildUninstallKeys();
    builder.BuildInfFolder();
    builder.BuildFileTree();
    // The faults come last: building the machine itself never fails.
    builder.BuildFaults();
}

}  // namespace drvsweep::fuzz
