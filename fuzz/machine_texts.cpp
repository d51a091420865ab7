#include "fuzz/machine_texts.h"

namespace drvsweep::fuzz {

namespace {

// Code page 936 "扫描仪", code page 950 "功能" and "許可", whose first characters end in the
// byte 0x5C, the backslash.
constexpr const char* kGbkScanner = "\xC9\xA8\xC3\xE8\xD2\xC7";
constexpr const char* kBig5Function = "\xA5\x5C\xAF\xE0";
constexpr const char* kBig5Permit = "\xB3\x5C\xA5\x69";

std::string Repeated(char c, std::size_t count) {
    return std::string(count, c);
}

}  // namespace

std::string UsbKeyName(FuzzInput& input) {
    static const char* const kVendors[] = {"Vid_0c6e&Pid_", "VID_0C6E&PID_", "vid_0c6e&pid_",
                                           "Vid_0c6f&Pid_", "VID_0C6&PID_",  "XVid_0c6eX&Pid_"};
    static const char* const kProducts[] = {
        "5210", "7300", "2503", "3902", "3900", "0001", "QUORIN-ROAMDOC-5E1A"};
    std::string name = std::string(input.Choose(kVendors)) + input.Choose(kProducts);
    switch (input.Below(6)) {
        case 1:
            name += "&MI_00";
            break;
        case 2:
            name += "&Rev_0100";
            break;
        case 3:
            // Key names up to 255 characters: "USB\" + name then reaches and passes 259.
            name += "&" + Repeated('A', 230 + input.Below(25) - name.size());
            break;
        default:
            break;
    }
    return name;
}

std::string PcCardKeyName(FuzzInput& input) {
    static const char* const kNames[] = {"QUORIN-ROAMDOC-5E1A", "RDN-CQ-D41E-6B3F", "Quorin-Card",
                                         "RDN-CQ-D41",          "XQUORINX-1",       "QUORIN",
                                         "quorin-doc",          "MAKER-QUORIN-0C6E"};
    return input.Choose(kNames);
}

std::string InstanceName(FuzzInput& input) {
    static const char* const kNames[] = {"0000", "5&2f1c3a&0&2", "ROOT&0001", "0001", "9&ab"};
    return input.Choose(kNames);
}

std::string DescriptionBytes(FuzzInput& input) {
    std::string text;
    switch (input.Below(8)) {
        case 0:
            break;
        case 1:
            text = "Quorin K5210";
            break;
        case 2:
            text = Repeated('D', 100);
            break;
        case 3:
            text = Repeated('E', 259);
            break;
        case 4:
            text = Repeated('F', 260);
            break;
        case 5:
            text = Repeated('G', 400);
            break;
        case 6:
            text = std::string(kGbkScanner) + " Quorin";
            break;
        default:
            text = std::string(kBig5Function) + kBig5Permit;
            break;
    }
    if (input.Below(4) != 0) {
        text.push_back('\0');
    }
    return text;
}

std::string DriverBytes(FuzzInput& input) {
    static const char* const kValues[] = {"Image\\0000",
                                          "Image\\0001",
                                          "Image",
                                          "",
                                          "..\\Net",
                                          "Image\\\\0000",
                                          "\\Image\\0000",
                                          "Image\\0000\\",
                                          "Image\\..\\Net\\0000",
                                          "Image\\.\\0000",
                                          "Net\\0000",
                                          "Image\\0000\\Sub"};
    std::string value =
        input.Below(10) == 0 ? "Image\\" + Repeated('K', 300) : input.Choose(kValues);
    if (input.Below(5) != 0) {
        value.push_back('\0');
    }
    return value;
}

std::string TwainFolderName(FuzzInput& input) {
    switch (input.Below(8)) {
        case 0:
            return "QuorinDS";
        case 1:
            return "Quorin\\K5210";
        case 2:
            return "QScan";
        case 3:
            return kGbkScanner;
        case 4:
            return kBig5Function;
        case 5:
            return std::string("Quorin ") + kBig5Permit;
        case 6:
            return "Q" + Repeated('L', 150 + input.Below(100));
        default:
            return "Orbdrv";
    }
}

std::string DestinationDirsLine(FuzzInput& input, const std::string& folder) {
    switch (input.Below(22)) {
        case 0:
            return "DefaultDestDir=11";
        case 1:
            return "Twain=10,TWAIN_32\\" + folder;
        case 2:
            return "Twain=10,twain_32\\..";
        case 3:
            return "Twain=10,twain_32\\";
        case 4:
            return "Twain=10,twain_32\\C:\\windows";
        case 5:
            return "Twain=10,twain_32\\\\\\server\\share";
        case 6:
            return "Twain=10,twain_32\\*";
        case 7:
            return "Twain=10,twain_32\\" + folder + ".";
        case 8:
            return "Twain=10,twain_32\\" + folder + " ";
        case 9:
            return "Twain=10,\"twain_32\\" + folder + "\"";
        case 10:
            return ";Twain=10,twain_32\\" + folder;
        case 11:
            return "Twain=10,twain_32\\" + folder + " ; the data source";
        case 12:
            return "Twain=10,twain_32\\%TwainDir%";
        case 13:
            return "Twain=11,twain_32\\" + folder;
        case 14:
            return "Twain=10,twain_32\\" + folder + "\\..\\..";
        case 15:
            return "Twain=10,twain_32\\..\\system32";
        case 16:
            return "Twain=10,twain_32";
        case 17:
            return "Twain=10,twain_32\\" + folder + ",x";
        case 18:
            return "twain_32=10,system32";
        case 19:
            return "Twain=10,twain_32\\ " + folder;
        case 20:
            return "Twain=10,twain_32\\" + folder + "\\\\Sub";
        default:
            return "Twain=10,twain_32\\" + folder;
    }
}

std::string TwainDirString(FuzzInput& input, const std::string& folder) {
    static const char* const kHostile[] = {"..", "", "..\\system32", "C:\\", "*.*"};
    return input.Flag() ? folder : input.Choose(kHostile);
}

std::string UninstallCommandLine(FuzzInput& input) {
    switch (input.Below(7)) {
        case 0:
            return std::string("\"") + kUninstallerProgram + "\" /SILENT";
        case 1:
            return kUninstallerProgram;
        case 2:
            return "C:\\missing\\unins.exe /x";
        case 3:
            return "rundll32 quorin.dll,Uninstall";
        case 4:
            return "C:\\" + Repeated('P', 600) + ".exe";
        case 5:
            return "";
        default:
            return std::string(kUninstallerProgram) + " /u " + Repeated('p', 300);
    }
}

}  // namespace drvsweep::fuzz
