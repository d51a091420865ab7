#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/sim/sim_windows.h"
#include "tests/unit/ui_code_pages.h"
#include "ui/about_strings.h"
#include "ui/interface_strings.h"

namespace drvsweep {
namespace {

using testing::ConvertText;

// The texts as the user must read them, in UTF-8, by role and language slot.
const char* const kUnicodeTexts[kStringRoles][kLanguageSlots] = {
    {"Quorin扫描仪驱动卸装程序", "Quorin掃描儀驅動卸裝程序",
     "Quorin scanner driver uninstall programer"},
    {"\n您已安装了以下Quorin扫描仪设备，请从列表中选择您要卸装的扫描仪类型",
     "\n您已安裝了以下Quorin掃描儀設備，請從列表中選擇您要卸裝的掃描儀類型",
     "The following scanner equipment of our company have installed on your computer, please "
     "choose the scanner type that you want to uninstall"},
    {"Quorin扫描仪类型列表", "Quorin掃描儀類型列表", "Select that scanner to be uninstalled"},
    {"卸装", "卸裝", "Delete"},
    {"退出", "退出", "Exit"},
    {"确认您要卸装“ ", "確認您要卸裝“  ", "Do you want to uninstall \" "},
    {" ”扫描仪驱动", " ”掃描儀驅動", "\""},
    {"您所选择的扫描仪驱动已经卸装完毕, 重启计算机\n才能使设置有效，重启计算机吗？",
     "您所選擇的掃描儀驅動已經卸裝完畢, 重啟計算機\n才能使設置有效，重啟計算機嗎？",
     "The scanner you choosed has already been uninstalled. \nIt's recommend that restart the "
     "computer. Restart now?"},
    {"扫描仪驱动已经卸装，但有些文件正在使用，重启计算机后才会删除。\n现在重启计算机吗？",
     "掃描儀驅動已經卸裝，但有些文件正在使用，重啟計算機後才會刪除。\n現在重啟計算機嗎？",
     "The scanner driver has been uninstalled, but some of its files are in use. The removal "
     "finishes when the computer restarts. \nRestart now?"},
    {"计算机没有重启：Windows 拒绝了重启，或有程序要求继续运行。\n请稍后重启计算机以完成卸装。",
     "計算機沒有重啟：Windows 拒絕了重啟，或有程序要求繼續運行。\n請稍後重啟計算機以完成卸裝。",
     "The computer was not restarted: Windows refused, or a program asked to keep running. "
     "\nRestart it later to finish the removal."},
    {"另一个 DrvSweep 正在卸装扫描仪。\n请在它完成后再试。",
     "另一個 DrvSweep 正在卸裝掃描儀。\n請在它完成後再試。",
     "Another DrvSweep is removing a scanner. \nTry again when it has finished."},
    {"未删除任何内容：DrvSweep 无法先备份该扫描仪的驱动程序。\n请确认系统盘有可用空间，然后重试。",
     "未刪除任何內容：DrvSweep "
     "無法先備份該掃描器的驅動程式。\n請確認系統磁碟有可用空間，然後再試一次。",
     "Nothing was removed: DrvSweep could not first save a backup of the scanner's driver. "
     "\nCheck that the system drive has free space, then try again."},
};

const char* const kUnicodeAboutTexts[kAboutRoles][kLanguageSlots] = {
    {"关于 DrvSweep", "關於 DrvSweep", "About DrvSweep"},
    {"DrvSweep 版本 ", "DrvSweep 版本 ", "DrvSweep version "},
    {"卸装 Quorin 扫描仪（USB 和 PC 卡）的驱动程序。",
     "卸裝 Quorin 掃描儀（USB 和 PC 卡）的驅動程序。",
     "Removes the drivers of Quorin USB and PC Card scanners."},
    {"确定", "確定", "OK"},
};

// The iconv name of each slot's code page; the English slot must hold ASCII alone.
const char* const kIconvNames[kLanguageSlots] = {"GBK", "BIG5", "ASCII"};

class InterfaceStringsTest : public ::testing::Test {
protected:
    InterfaceStrings Load(std::uint16_t language) {
        machine_.SetDefaultLanguage(language);
        InterfaceStrings strings;
        LoadInterfaceStrings(machine_.platform().version, strings);
        return strings;
    }

    sim::SimWindows machine_;
};

TEST_F(InterfaceStringsTest, EveryStoredTextDecodesToItsUnicodeText) {
    const InterfaceStrings strings = Load(1033);
    for (int role = 0; role < kStringRoles; ++role) {
        for (int slot = 0; slot < kLanguageSlots; ++slot) {
            SCOPED_TRACE("role " + std::to_string(role) + ", slot " + std::to_string(slot));
            const std::string stored = strings.slots[role][slot].c_str();
            ASSERT_FALSE(stored.empty());
            EXPECT_EQ(ConvertText(stored, kIconvNames[slot], "UTF-8"), kUnicodeTexts[role][slot]);
        }
    }
}

TEST_F(InterfaceStringsTest, SystemDefaultLanguageChoosesTheSlot) {
    const struct {
        std::uint16_t language;
        std::int32_t slot;
        std::uint32_t codePage;
    } cases[] = {
        {2052, kSimplifiedChinese, 936}, {1028, kTraditionalChinese, 950},
        {3076, kEnglish, 20127},         {4100, kEnglish, 20127},
        {5124, kEnglish, 20127},         {1033, kEnglish, 20127},
        {1041, kEnglish, 20127},         {0, kEnglish, 20127},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("language " + std::to_string(c.language));
        const InterfaceStrings strings = Load(c.language);
        EXPECT_EQ(strings.languageSlot, c.slot);
        for (int role = 0; role < kStringRoles; ++role) {
            const CodePageText text = InterfaceText(strings, static_cast<StringRole>(role));
            EXPECT_EQ(text.codePage, c.codePage);
            EXPECT_EQ(ConvertText(text.bytes, kIconvNames[c.slot], "UTF-8"),
                      kUnicodeTexts[role][c.slot]);
        }
        // Every language is stored whatever the choice.
        EXPECT_STREQ(strings.slots[0][kSimplifiedChinese].c_str(),
                     ConvertText(kUnicodeTexts[0][kSimplifiedChinese], "UTF-8", "GBK").c_str());
    }
}

// The confirmation is prefix + description + suffix; in English that is the phrase, a blank, a
// straight quote, a blank, the description and a straight quote.
TEST_F(InterfaceStringsTest, EnglishConfirmationFramesTheDescription) {
    const InterfaceStrings strings = Load(1033);
    const std::string text =
        std::string(InterfaceText(strings, StringRole::ConfirmationPrefix).bytes) + "X" +
        InterfaceText(strings, StringRole::ConfirmationSuffix).bytes;
    EXPECT_EQ(text, "Do you want to uninstall \" X\"");
}

TEST(AboutStrings, EveryTextDecodesToItsUnicodeTextInTheSlotsCodePage) {
    for (int role = 0; role < kAboutRoles; ++role) {
        for (std::int32_t slot = 0; slot < kLanguageSlots; ++slot) {
            SCOPED_TRACE("role " + std::to_string(role) + ", slot " + std::to_string(slot));
            const CodePageText text = AboutText(slot, static_cast<AboutRole>(role));
            EXPECT_EQ(text.codePage, CodePageOfSlot(slot));
            EXPECT_EQ(ConvertText(text.bytes, kIconvNames[slot], "UTF-8"),
                      kUnicodeAboutTexts[role][slot]);
        }
    }
}

}  // namespace
}  // namespace drvsweep
