#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/sim_dialog_host.h"
#include "platform/sim/sim_scenario.h"
#include "platform/sim/sim_windows.h"
#include "res/resource.h"
#include "res/version.h"
#include "tests/support/test_machine.h"
#include "tests/unit/ui_code_pages.h"
#include "ui/about_strings.h"
#include "ui/app_state.h"
#include "ui/interface_strings.h"
#include "ui/uninstall_app.h"
#include "ui/uninstall_dlg.h"

namespace drvsweep {
namespace {

using sim::RecordedText;
using sim::SimDialogHost;
using sim::SimMenuItem;
using testing::ConvertText;

const std::u16string kAboutEntry = u"关于 DrvSweep(&A)...";
constexpr IconHandle kAppIcon = 0x1000 + IDR_MAINFRAME;
constexpr std::uint32_t kScClose = 0xF060;
constexpr std::uint32_t kScMove = 0xF010;
constexpr std::uint32_t kScKeyMenu = 0xF100;

// The program's resources as the simulated windows hold them.
void AddProgramResources(SimDialogHost& host) {
    host.SetResourceString(IDS_ABOUTBOX, kAboutEntry);
    host.AddIconResource(IDR_MAINFRAME);
}

// A simulated machine loaded from a scenario, with the process-wide state of one run.
struct Machine {
    explicit Machine(const std::string& scenario) {
        std::string error;
        EXPECT_TRUE(sim::LoadScenario(testing::FixturePath(scenario), &windows, &error)) << error;
    }

    sim::SimWindows windows;
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
};

// The main window after its initialisation, in a simulated window with the program's
// resources; `prepare` may change the window before the dialog sees it.
struct MainWindow {
    explicit MainWindow(const std::string& scenario,
                        const std::function<void(SimDialogHost&)>& prepare = nullptr)
        : machine(scenario) {
        AddProgramResources(window);
        if (prepare) {
            prepare(window);
        }
        dialog =
            std::make_unique<CUninstallDlg>(*machine.state, machine.windows.platform(), window);
        initResult = dialog->OnInitDialog(window);
    }

    // The text of a role in a language slot, as the window must receive it.
    RecordedText Interface(StringRole role, std::int32_t slot) const {
        return {{machine.state->strings.slots[static_cast<int>(role)][slot].c_str(),
                 CodePageOfSlot(slot)}};
    }

    Machine machine;
    SimDialogHost window;
    std::unique_ptr<CUninstallDlg> dialog;
    bool initResult = false;
};

// A list entry: a blank, then the description in the system's ANSI code page.
RecordedText Entry(const std::string& description) {
    return {{" ", kAnsiCodePage}, {description, kAnsiCodePage}};
}

TEST(MainWindow, ListsTheScannersInTableOrderInTheSystemsLanguage) {
    const struct {
        const char* scenario;
        std::int32_t slot;
        std::vector<std::string> descriptions;
    } cases[] = {
        {"demo_nt",
         kEnglish,
         {"Quorin Doc 392 Scanner", "Quorin K5210 USB Scanner", "Quorin MPX 730 Scanner",
          "Quorin RoamDoc PC Card Scanner"}},
        {"empty_9x", kEnglish, {}},
        {"ui_zh_cn_nt",
         kSimplifiedChinese,
         {ConvertText("Quorin K5210 USB 扫描仪", "UTF-8", "GBK"),
          "Quorin RoamDoc PC Card Scanner"}},
        {"ui_zh_tw_9x",
         kTraditionalChinese,
         {ConvertText("Quorin Doc 392 掃描儀", "UTF-8", "BIG5"), "Quorin K5210 USB Scanner"}},
        {"ui_zh_hk_nt", kEnglish, {"Quorin MPX 730 Scanner"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scenario);
        MainWindow main(c.scenario);
        EXPECT_TRUE(main.initResult);

        std::vector<RecordedText> expected;
        for (const std::string& description : c.descriptions) {
            expected.push_back(Entry(description));
        }
        EXPECT_EQ(main.window.listEntries(IDC_SCANNER_LIST), expected);
        EXPECT_EQ(main.machine.state->table.lastIndex, static_cast<int>(expected.size()) - 1);
        EXPECT_EQ(main.window.ListSelection(IDC_SCANNER_LIST), expected.empty() ? kListError : 0);
        EXPECT_EQ(main.window.itemEnabled(IDC_DELETE), !expected.empty());
        EXPECT_TRUE(main.window.itemEnabled(kIdOk));

        EXPECT_EQ(main.machine.state->strings.languageSlot, c.slot);
        EXPECT_EQ(main.window.caption(), main.Interface(StringRole::WindowTitle, c.slot));
        EXPECT_EQ(main.window.itemText(IDC_INSTRUCTION),
                  main.Interface(StringRole::InstructionText, c.slot));
        EXPECT_EQ(main.window.itemText(IDC_LIST_LABEL),
                  main.Interface(StringRole::ListLabel, c.slot));
        EXPECT_EQ(main.window.itemText(IDC_DELETE),
                  main.Interface(StringRole::DeleteButton, c.slot));
        EXPECT_EQ(main.window.itemText(kIdOk), main.Interface(StringRole::ExitButton, c.slot));
        EXPECT_EQ(main.machine.state->selectedIndex, kNoCommandYet);
    }
}

// decorated_x64 has a driver package without a device (the K7700's): it comes after the
// scanners, its description followed by the mark in the interface language.
TEST(MainWindow, MarksADriverWithoutADeviceInTheInterfaceLanguage) {
    const struct {
        std::uint16_t language;
        std::string mark;
        std::uint32_t codePage;
    } cases[] = {
        {2052, ConvertText(" （无设备的驱动程序）", "UTF-8", "GBK"), 936},
        {1028, ConvertText(" （無裝置的驅動程式）", "UTF-8", "BIG5"), 950},
        {1033, " (driver without a device)", kUsAsciiCodePage},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        Machine machine("decorated_x64");
        machine.windows.SetDefaultLanguage(c.language);
        SimDialogHost window;
        AddProgramResources(window);
        CUninstallDlg dialog(*machine.state, machine.windows.platform(), window);
        dialog.OnInitDialog(window);

        const std::vector<RecordedText>& entries = window.listEntries(IDC_SCANNER_LIST);
        ASSERT_EQ(entries.size(), 5u);
        EXPECT_EQ(entries[3], Entry("Quorin RoamDoc PC Card Scanner"));
        RecordedText marked = Entry("Quorin K7700 USB Scanner");
        marked.push_back({c.mark, c.codePage});
        EXPECT_EQ(entries[4], marked);
    }
}

TEST(MainWindow, AddsTheAboutEntryAndSetsTheIconBigFirst) {
    MainWindow main("demo_nt");
    const std::vector<SimMenuItem>& items = main.window.systemMenuItems();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_TRUE(items[0].separator);
    EXPECT_FALSE(items[1].separator);
    EXPECT_EQ(items[1].commandId, static_cast<std::uint32_t>(IDM_ABOUTBOX));
    EXPECT_EQ(items[1].text, kAboutEntry);

    const std::vector<sim::SimIconCall>& icons = main.window.iconCalls();
    ASSERT_EQ(icons.size(), 2u);
    EXPECT_EQ(icons[0].icon, kAppIcon);
    EXPECT_TRUE(icons[0].big);
    EXPECT_EQ(icons[1].icon, kAppIcon);
    EXPECT_FALSE(icons[1].big);
    EXPECT_EQ(main.dialog->OnQueryDragIcon(), kAppIcon);
}

TEST(MainWindow, NoAboutEntryWithoutASystemMenuOrAnEntryText) {
    const struct {
        const char* name;
        std::function<void(SimDialogHost&)> prepare;
    } cases[] = {
        {"no system menu", [](SimDialogHost& window) { window.RemoveSystemMenu(); }},
        {"empty string 101",
         [](SimDialogHost& window) { window.SetResourceString(IDS_ABOUTBOX, u""); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MainWindow main("demo_nt", c.prepare);
        EXPECT_TRUE(main.window.systemMenuItems().empty());
        EXPECT_EQ(main.window.listEntries(IDC_SCANNER_LIST).size(), 4u);
    }
}

// Exit, Enter (both IDOK), the close box and Alt+F4 (both WM_CLOSE, Alt+F4 by way of the
// default processing of SC_CLOSE) end the dialog, a running poll timer stopped first.
TEST(MainWindow, ExitEnterCloseAndAltF4StopThePollTimerAndEndTheDialog) {
    const struct {
        const char* name;
        std::function<void(CUninstallDlg&)> act;
        int result;
    } cases[] = {
        {"Exit button or Enter",
         [](CUninstallDlg& dialog) { dialog.OnCommand(kIdOk, kButtonClicked); }, kIdOk},
        {"close box", [](CUninstallDlg& dialog) { dialog.OnClose(); }, kIdCancel},
        {"Alt+F4",
         [](CUninstallDlg& dialog) {
             EXPECT_FALSE(dialog.OnSysCommand(kScClose));
             dialog.OnClose();
         },
         kIdCancel},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MainWindow main("demo_nt");
        main.window.StartTimer(kPollTimer, 2000);
        c.act(*main.dialog);
        EXPECT_TRUE(main.window.runningTimers().empty());
        EXPECT_TRUE(main.window.ended());
        EXPECT_EQ(main.window.endResult(), c.result);
    }
}

TEST(MainWindow, AboutEntryRunsTheAboutBoxAndOtherCommandsGetTheDefault) {
    const struct {
        std::uint32_t command;
        bool about;
    } cases[] = {
        {IDM_ABOUTBOX, true},
        {IDM_ABOUTBOX + 1, true},
        {IDM_ABOUTBOX + 15, true},
        {0x0F, false},
        {0x20, false},
        {kScClose, false},
        {kScMove, false},
        {kScKeyMenu, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("command " + std::to_string(c.command));
        MainWindow main("demo_nt");
        main.window.SetModalHook(
            [](SimDialogHost&, DialogHandler& about) { about.OnCommand(kIdOk, kButtonClicked); });
        EXPECT_EQ(main.dialog->OnSysCommand(c.command), c.about);
        ASSERT_EQ(main.window.modalRuns().size(), c.about ? 1u : 0u);
        if (c.about) {
            EXPECT_EQ(main.window.modalRuns()[0].templateId,
                      static_cast<std::uint32_t>(IDD_ABOUTBOX));
            EXPECT_EQ(main.window.modalRuns()[0].result, kIdOk);
        }
        EXPECT_FALSE(main.window.ended());
    }
}

TEST(MainWindow, AboutBoxSpeaksTheInterfaceLanguage) {
    const struct {
        const char* scenario;
        std::int32_t slot;
    } cases[] = {
        {"demo_nt", kEnglish},
        {"ui_zh_cn_nt", kSimplifiedChinese},
        {"ui_zh_tw_9x", kTraditionalChinese},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scenario);
        MainWindow main(c.scenario);
        main.window.SetModalHook([&](SimDialogHost& about, DialogHandler&) {
            const auto text = [&](AboutRole role) {
                const CodePageText stored = AboutText(c.slot, role);
                return RecordedText{{stored.bytes, stored.codePage}};
            };
            EXPECT_EQ(about.caption(), text(AboutRole::Caption));
            RecordedText version = text(AboutRole::VersionLabel);
            version.push_back({DRVSWEEP_VERSION_TEXT, CodePageOfSlot(kEnglish)});
            EXPECT_EQ(about.itemText(IDC_ABOUT_VERSION), version);
            EXPECT_EQ(about.itemText(IDC_ABOUT_PURPOSE), text(AboutRole::Purpose));
            EXPECT_EQ(about.itemText(kIdOk), text(AboutRole::OkButton));
        });
        EXPECT_TRUE(main.dialog->OnSysCommand(IDM_ABOUTBOX));
        ASSERT_EQ(main.window.modalRuns().size(), 1u);
        EXPECT_TRUE(main.window.modalRuns()[0].initResult);
    }
}

// The application object runs dialog 102 modally, with no owner, and returns false once it has
// ended, so that the program ends.
TEST(UninstallApp, RunsTheMainWindowModallyAndReturnsFalse) {
    Machine machine("demo_9x");
    SimDialogHost desktop;
    AddProgramResources(desktop);
    desktop.SetModalHook([](SimDialogHost& window, DialogHandler& dialog) {
        EXPECT_EQ(window.listEntries(IDC_SCANNER_LIST).size(), 4u);
        dialog.OnCommand(kIdOk, kButtonClicked);
    });
    CUninstallApp app(*machine.state, machine.windows.platform(), desktop);
    EXPECT_FALSE(app.InitInstance());
    ASSERT_EQ(desktop.modalRuns().size(), 1u);
    EXPECT_EQ(desktop.modalRuns()[0].templateId, static_cast<std::uint32_t>(IDD_UNINSTALL_DIALOG));
    EXPECT_TRUE(desktop.modalRuns()[0].initResult);
    EXPECT_EQ(desktop.modalRuns()[0].result, kIdOk);
    EXPECT_EQ(machine.state->table.lastIndex, 3);
}

}  // namespace
}  // namespace drvsweep
