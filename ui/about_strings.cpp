#include "ui/about_strings.h"

#include "ui/interface_strings.h"

namespace drvsweep {

namespace {

// By role and language slot: GBK bytes, Big5 bytes, ASCII.
const char* const kAboutTexts[kAboutRoles][kLanguageSlots] = {
    // Caption
    {"\xb9\xd8\xd3\xda DrvSweep", "\xc3\xf6\xa9\xf3 DrvSweep", "About DrvSweep"},
    // VersionLabel
    {"DrvSweep \xb0\xe6\xb1\xbe ", "DrvSweep \xaa\xa9\xa5\xbb ", "DrvSweep version "},
    // Purpose
    {"\xd0\xb6\xd7\xb0 Quorin \xc9\xa8\xc3\xe8\xd2\xc7\xa3\xa8USB \xba\xcd PC \xbf\xa8\xa3\xa9"
     "\xb5\xc4\xc7\xfd\xb6\xaf\xb3\xcc\xd0\xf2\xa1\xa3",
     "\xa8\xf8\xb8\xcb Quorin \xb1\xbd\xb4y\xbb\xf6\xa1]USB \xa9M PC \xa5"
     "d\xa1^\xaa\xba\xc5X\xb0\xca\xb5{\xa7\xc7\xa1"
     "C",
     "Removes the drivers of Quorin USB and PC Card scanners."},
    // OkButton
    {"\xc8\xb7\xb6\xa8", "\xbdT\xa9w", "OK"},
};

}  // namespace

CodePageText AboutText(std::int32_t languageSlot, AboutRole role) {
    return {kAboutTexts[static_cast<int>(role)][languageSlot], CodePageOfSlot(languageSlot)};
}

}  // namespace drvsweep
