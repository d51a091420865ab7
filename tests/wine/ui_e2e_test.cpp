#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/windows_api.h"
#include "res/resource.h"
#include "res/version.h"
#include "tests/wine/program_session.h"
#include "tests/wine/screenshot_request.h"
#include "tests/wine/user_input.h"
#include "tests/wine/window_reader.h"

// DrvSweep.exe end to end under Wine: each test runs in a fresh prefix seeded from the scenario
// that tests/wine/ui.cmake names for it, starts the program, reads its window from outside, leaves
// a screenshot and ends the program one of the ways a user can.
namespace drvsweep {
namespace {

using testing::ProgramSession;

struct WindowTexts {
    const wchar_t* caption;
    const wchar_t* instruction;
    const wchar_t* listLabel;
    const wchar_t* deleteButton;
    const wchar_t* exitButton;
};

const WindowTexts kEnglish = {
    L"Quorin scanner driver uninstall programer",
    L"The following scanner equipment of our company have installed on your computer, please "
    L"choose the scanner type that you want to uninstall",
    L"Select that scanner to be uninstalled",
    L"Delete",
    L"Exit",
};

const WindowTexts kSimplifiedChinese = {
    L"Quorin扫描仪驱动卸装程序",
    L"\n您已安装了以下Quorin扫描仪设备，请从列表中选择您要卸装的扫描仪类型",
    L"Quorin扫描仪类型列表",
    L"卸装",
    L"退出",
};

const WindowTexts kTraditionalChinese = {
    L"Quorin掃描儀驅動卸裝程序",
    L"\n您已安裝了以下Quorin掃描儀設備，請從列表中選擇您要卸裝的掃描儀類型",
    L"Quorin掃描儀類型列表",
    L"卸裝",
    L"退出",
};

struct AboutTexts {
    const wchar_t* caption;
    const wchar_t* version;
    const wchar_t* purpose;
    const wchar_t* okButton;
};

const AboutTexts kEnglishAbout = {L"About DrvSweep", L"DrvSweep version " DRVSWEEP_VERSION_TEXT,
                                  L"Removes the drivers of Quorin USB and PC Card scanners.",
                                  L"OK"};
const AboutTexts kSimplifiedChineseAbout = {
    L"关于 DrvSweep", L"DrvSweep 版本 " DRVSWEEP_VERSION_TEXT,
    L"卸装 Quorin 扫描仪（USB 和 PC 卡）的驱动程序。", L"确定"};
const AboutTexts kTraditionalChineseAbout = {
    L"關於 DrvSweep", L"DrvSweep 版本 " DRVSWEEP_VERSION_TEXT,
    L"卸裝 Quorin 掃描儀（USB 和 PC 卡）的驅動程序。", L"確定"};

// The program's windows are ANSI windows on the 9x family (the prefix's Version=win98, which
// the driver sees too) and wide windows on the NT family.
void ExpectWindowFunctionsOfTheFamily(HWND window) {
    const bool family9x = GetVersion() >= 0x80000000u;
    EXPECT_EQ(IsWindowUnicode(window) == FALSE, family9x);
}

// The main window shows the texts of the language, the entries in table order with the first
// selected, and Delete enabled exactly when there is an entry.
void ExpectMainWindow(HWND window, const WindowTexts& texts,
                      const std::vector<std::wstring>& entries) {
    ExpectWindowFunctionsOfTheFamily(window);
    EXPECT_EQ(testing::WindowText(window), texts.caption);
    EXPECT_EQ(testing::ItemText(window, IDC_INSTRUCTION), texts.instruction);
    EXPECT_EQ(testing::ItemText(window, IDC_LIST_LABEL), texts.listLabel);
    EXPECT_EQ(testing::ItemText(window, IDC_DELETE), texts.deleteButton);
    EXPECT_EQ(testing::ItemText(window, IDOK), texts.exitButton);
    EXPECT_EQ(testing::ListEntries(window, IDC_SCANNER_LIST), entries);
    EXPECT_EQ(testing::ListSelection(window, IDC_SCANNER_LIST), entries.empty() ? LB_ERR : 0);
    EXPECT_EQ(testing::ItemEnabled(window, IDC_DELETE), !entries.empty());
    EXPECT_TRUE(testing::ItemEnabled(window, IDOK));
    EXPECT_TRUE(testing::TakeScreenshot(window, testing::CurrentTestName()));
}

// The system menu's About entry opens the About box in the interface's language; its OK button
// closes it again and leaves the main window running.
void ExpectAboutBox(const ProgramSession& program, const AboutTexts& texts) {
    PostMessageW(program.mainWindow(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    const HWND about = program.WaitForOwnedWindow(program.mainWindow(), 10000);
    ASSERT_NE(about, nullptr) << "the About entry showed no About box";
    ExpectWindowFunctionsOfTheFamily(about);
    EXPECT_EQ(testing::WindowText(about), texts.caption);
    EXPECT_EQ(testing::ItemText(about, IDC_ABOUT_VERSION), texts.version);
    EXPECT_EQ(testing::ItemText(about, IDC_ABOUT_PURPOSE), texts.purpose);
    EXPECT_EQ(testing::ItemText(about, IDOK), texts.okButton);
    EXPECT_TRUE(testing::TakeScreenshot(about, testing::CurrentTestName() + "_about"));
    testing::ClickWindow(GetDlgItem(about, IDOK));
    EXPECT_TRUE(program.WaitForWindowGone(about, 10000));
    EXPECT_TRUE(IsWindow(program.mainWindow()));
}

// demo_nt: English, NT family, four scanners.
TEST(DrvSweepWindow, EnglishFourScannersEndsOnExit) {
    ProgramSession program;
    ASSERT_NE(program.mainWindow(), nullptr);
    ExpectMainWindow(program.mainWindow(), kEnglish,
                     {L" Quorin Doc 392 Scanner", L" Quorin K5210 USB Scanner",
                      L" Quorin MPX 730 Scanner", L" Quorin RoamDoc PC Card Scanner"});
    ExpectAboutBox(program, kEnglishAbout);
    testing::ClickWindow(GetDlgItem(program.mainWindow(), IDOK));
    program.ExpectEndsCleanly();
}

// ui_zh_cn_nt: system language 2052, a description in GBK.
TEST(DrvSweepWindow, SimplifiedChineseEndsOnEnter) {
    ProgramSession program;
    ASSERT_NE(program.mainWindow(), nullptr);
    ExpectMainWindow(program.mainWindow(), kSimplifiedChinese,
                     {L" Quorin K5210 USB 扫描仪", L" Quorin RoamDoc PC Card Scanner"});
    ExpectAboutBox(program, kSimplifiedChineseAbout);
    testing::PressKeys(program.mainWindow(), {VK_RETURN});
    program.ExpectEndsCleanly();
}

// ui_zh_tw_9x: system language 1028 on the 9x family, a description in Big5.
TEST(DrvSweepWindow, TraditionalChinese9xEndsOnAltF4) {
    ProgramSession program;
    ASSERT_NE(program.mainWindow(), nullptr);
    ExpectMainWindow(program.mainWindow(), kTraditionalChinese,
                     {L" Quorin Doc 392 掃描儀", L" Quorin K5210 USB Scanner"});
    ExpectAboutBox(program, kTraditionalChineseAbout);
    testing::PressKeys(program.mainWindow(), {VK_MENU, VK_F4});
    program.ExpectEndsCleanly();
}

// empty_9x: no scanner on the 9x family.
TEST(DrvSweepWindow, NoScannerDisablesDeleteAndEndsOnTheCloseBox) {
    ProgramSession program;
    ASSERT_NE(program.mainWindow(), nullptr);
    ExpectMainWindow(program.mainWindow(), kEnglish, {});
    testing::ClickCloseBox(program.mainWindow());
    program.ExpectEndsCleanly();
}

// ui_zh_hk_nt: Chinese (Hong Kong), 3076, is served in English.
TEST(DrvSweepWindow, HongKongChineseIsServedInEnglishAndEndsOnWmClose) {
    ProgramSession program;
    ASSERT_NE(program.mainWindow(), nullptr);
    ExpectMainWindow(program.mainWindow(), kEnglish, {L" Quorin MPX 730 Scanner"});
    PostMessageW(program.mainWindow(), WM_CLOSE, 0, 0);
    program.ExpectEndsCleanly();
}

}  // namespace
}  // namespace drvsweep
