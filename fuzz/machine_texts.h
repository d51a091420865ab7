#pragma once

#include <string>

#include "fuzz/fuzz_input.h"

namespace drvsweep::fuzz {

// The texts a fuzzed machine is made of: the maker's names and their near misses, hostile
// descriptions, Driver values, TWAIN folder names and [DestinationDirs] lines. Each function
// takes its choices from the input.

// A USB device key name below Enum\USB: the maker's vendor token in both spellings the scan
// knows, and near misses (other case, other vendor, cut tokens).
std::string UsbKeyName(FuzzInput& input);
// A PC Card device key name below Enum\PCMCIA, tokens and near misses alike.
std::string PcCardKeyName(FuzzInput& input);
// A device instance key name.
std::string InstanceName(FuzzInput& input);
// DeviceDesc bytes as stored: empty, short, 259, 260 and longer, multibyte, without a NUL.
std::string DescriptionBytes(FuzzInput& input);
// A "Driver" value as stored: one class key, a branch alone, the root, climbing, doubled and
// leading backslashes, overlong, without a NUL.
std::string DriverBytes(FuzzInput& input);
// A TWAIN data source folder name the maker's INF may name below twain_32: plain, two levels,
// Chinese in code pages 936 and 950 (with a 0x5C trail byte), long.
std::string TwainFolderName(FuzzInput& input);
// One [DestinationDirs] line naming `folder` or something hostile: "..", empty, absolute,
// drive, UNC, wildcards, trailing dots and blanks, quoted, commented, a %strkey%, another dirid.
std::string DestinationDirsLine(FuzzInput& input, const std::string& folder);
// The [Strings] value behind %TwainDir%.
std::string TwainDirString(FuzzInput& input, const std::string& folder);
// A registered uninstaller's command line.
std::string UninstallCommandLine(FuzzInput& input);

// The program a command line of UninstallCommandLine starts when the file exists.
constexpr const char* kUninstallerProgram = "C:\\Program Files\\Quorin\\unins000.exe";

}  // namespace drvsweep::fuzz
