#include "ui/interface_strings.h"

namespace drvsweep {

namespace {

// The texts by role and language slot: GBK bytes, Big5 bytes, ASCII. A literal is split where
// a byte escape is followed by a character that would read as one more hex digit.
const char* const kTexts[kStringRoles][kLanguageSlots] = {
    // WindowTitle
    {"Quorin\xc9\xa8\xc3\xe8\xd2\xc7\xc7\xfd\xb6\xaf\xd0\xb6\xd7\xb0\xb3\xcc\xd0\xf2",
     "Quorin\xb1\xbd\xb4y\xbb\xf6\xc5X\xb0\xca\xa8\xf8\xb8\xcb\xb5{\xa7\xc7",
     "Quorin scanner driver uninstall programer"},
    // InstructionText
    {"\n\xc4\xfa\xd2\xd1\xb0\xb2\xd7\xb0\xc1\xcb\xd2\xd4\xcf\xc2Quorin\xc9\xa8\xc3\xe8\xd2\xc7"
     "\xc9\xe8\xb1\xb8\xa3\xac\xc7\xeb\xb4\xd3\xc1\xd0\xb1\xed\xd6\xd0\xd1\xa1\xd4\xf1\xc4\xfa"
     "\xd2\xaa\xd0\xb6\xd7\xb0\xb5\xc4\xc9\xa8\xc3\xe8\xd2\xc7\xc0\xe0\xd0\xcd",
     "\n\xb1z\xa4w\xa6w\xb8\xcb\xa4"
     "F\xa5H\xa4UQuorin\xb1\xbd\xb4y\xbb\xf6\xb3]\xb3\xc6\xa1"
     "A\xbd\xd0\xb1q\xa6"
     "C\xaa\xed\xa4\xa4\xbf\xef\xbe\xdc\xb1z\xadn\xa8\xf8\xb8\xcb\xaa\xba\xb1\xbd\xb4y\xbb\xf6"
     "\xc3\xfe\xab\xac",
     "The following scanner equipment of our company have installed on your computer, please "
     "choose the scanner type that you want to uninstall"},
    // ListLabel
    {"Quorin\xc9\xa8\xc3\xe8\xd2\xc7\xc0\xe0\xd0\xcd\xc1\xd0\xb1\xed",
     "Quorin\xb1\xbd\xb4y\xbb\xf6\xc3\xfe\xab\xac\xa6"
     "C\xaa\xed",
     "Select that scanner to be uninstalled"},
    // DeleteButton
    {"\xd0\xb6\xd7\xb0", "\xa8\xf8\xb8\xcb", "Delete"},
    // ExitButton
    {"\xcd\xcb\xb3\xf6", "\xb0h\xa5X", "Exit"},
    // ConfirmationPrefix
    {"\xc8\xb7\xc8\xcf\xc4\xfa\xd2\xaa\xd0\xb6\xd7\xb0\xa1\xb0 ",
     "\xbdT\xbb{\xb1z\xadn\xa8\xf8\xb8\xcb\xa1\xa7  ", "Do you want to uninstall \" "},
    // ConfirmationSuffix
    {" \xa1\xb1\xc9\xa8\xc3\xe8\xd2\xc7\xc7\xfd\xb6\xaf",
     " \xa1\xa8\xb1\xbd\xb4y\xbb\xf6\xc5X\xb0\xca", "\""},
    // RestartQuestion
    {"\xc4\xfa\xcb\xf9\xd1\xa1\xd4\xf1\xb5\xc4\xc9\xa8\xc3\xe8\xd2\xc7\xc7\xfd\xb6\xaf\xd2\xd1"
     "\xbe\xad\xd0\xb6\xd7\xb0\xcd\xea\xb1\xcf, \xd6\xd8\xc6\xf4\xbc\xc6\xcb\xe3\xbb\xfa\n\xb2\xc5"
     "\xc4\xdc\xca\xb9\xc9\xe8\xd6\xc3\xd3\xd0\xd0\xa7\xa3\xac\xd6\xd8\xc6\xf4\xbc\xc6\xcb\xe3"
     "\xbb\xfa\xc2\xf0\xa3\xbf",
     "\xb1z\xa9\xd2\xbf\xef\xbe\xdc\xaa\xba\xb1\xbd\xb4y\xbb\xf6\xc5X\xb0\xca\xa4w\xb8g\xa8\xf8"
     "\xb8\xcb\xa7\xb9\xb2\xa6, \xad\xab\xb1\xd2\xadp\xba\xe2\xbe\xf7\n\xa4~\xaf\xe0\xa8\xcf\xb3]"
     "\xb8m\xa6\xb3\xae\xc4\xa1"
     "A\xad\xab\xb1\xd2\xadp\xba\xe2\xbe\xf7\xb6\xdc\xa1H",
     "The scanner you choosed has already been uninstalled. \nIt's recommend that restart the "
     "computer. Restart now?"},
};

constexpr std::uint16_t kLanguageChinesePrc = 2052;
constexpr std::uint16_t kLanguageChineseTaiwan = 1028;

}  // namespace

std::int32_t LanguageSlotOf(std::uint16_t languageId) {
    switch (languageId) {
        case kLanguageChineseTaiwan:
            return kTraditionalChinese;
        case kLanguageChinesePrc:
            return kSimplifiedChinese;
        default:
            return kEnglish;
    }
}

void LoadInterfaceStrings(VersionInfo& version, InterfaceStrings& strings) {
    strings.languageSlot = LanguageSlotOf(version.DefaultLanguage());
    // The longest text takes 137 of the 260 bytes, so every copy fits.
    for (int role = 0; role < kStringRoles; ++role) {
        for (int slot = 0; slot < kLanguageSlots; ++slot) {
            strings.slots[role][slot].assign(kTexts[role][slot]);
        }
    }
}

std::uint32_t CodePageOfSlot(std::int32_t languageSlot) {
    switch (languageSlot) {
        case kSimplifiedChinese:
            return 936;
        case kTraditionalChinese:
            return 950;
        default:
            return kUsAsciiCodePage;
    }
}

CodePageText InterfaceText(const InterfaceStrings& strings, StringRole role) {
    return {strings.slots[static_cast<int>(role)][strings.languageSlot].c_str(),
            CodePageOfSlot(strings.languageSlot)};
}

}  // namespace drvsweep
