#pragma once

#include <cstdint>

#include "platform/dialog_host.h"
#include "platform/fixed_text.h"
#include "platform/version_info.h"

namespace drvsweep {

// The languages of the interface, in the order of their string slots.
constexpr std::int32_t kSimplifiedChinese = 0;
constexpr std::int32_t kTraditionalChinese = 1;
constexpr std::int32_t kEnglish = 2;
constexpr int kLanguageSlots = 3;

enum class StringRole {
    WindowTitle,
    InstructionText,
    ListLabel,
    DeleteButton,
    ExitButton,
    ConfirmationPrefix,
    ConfirmationSuffix,
    RestartQuestion,
    // The restart question when something of the removal goes only when the computer restarts.
    RestartToFinishQuestion,
    // Said when Windows refused the restart the user asked for, or a program cancelled it.
    RestartNotDone,
    // Said when another DrvSweep holds the run lock, so that this window may not remove.
    AnotherRemovalRuns,
    // Said when the backup of what a removal deletes could not be written, so nothing was
    // removed.
    BackupFailed,
};
constexpr int kStringRoles = 12;

// Every interface text in all three languages, each stored as bytes of its language's code
// page (936 GBK, 950 Big5, ASCII), and the language chosen for this run.
struct InterfaceStrings {
    std::int32_t languageSlot = kEnglish;
    PathText slots[kStringRoles][kLanguageSlots];
};

// The slot of a system default language: 1028 (Chinese, Taiwan) Traditional Chinese, 2052
// (Chinese, PRC) Simplified Chinese, every other language, other Chinese ones included,
// English.
std::int32_t LanguageSlotOf(std::uint16_t languageId);

// Chooses the language from GetSystemDefaultLangID and fills every slot of every role.
void LoadInterfaceStrings(VersionInfo& version, InterfaceStrings& strings);

// The code page the texts of a language slot are stored in: 936, 950 or 20127 (US-ASCII).
std::uint32_t CodePageOfSlot(std::int32_t languageSlot);

// The role's text in the chosen language, with its code page.
CodePageText InterfaceText(const InterfaceStrings& strings, StringRole role);

}  // namespace drvsweep
