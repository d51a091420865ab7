#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

#include "platform/sim/sim_dialog_host.h"

namespace drvsweep {
namespace {

using sim::SimDialogHost;

// A handler that counts what reaches it and ends its dialog with 5 on OK.
class CountingHandler : public DialogHandler {
public:
    bool OnInitDialog(DialogHost& host) override {
        host_ = &host;
        host.SetCaption({"counting", kAnsiCodePage});
        return false;
    }
    void OnCommand(int itemId, int) override {
        if (itemId == kIdOk) {
            host_->EndDialog(5);
        }
    }
    void OnTimer(std::uintptr_t timerId) override { ticks.push_back(timerId); }
    bool OnSysCommand(std::uint32_t) override { return false; }
    void OnClose() override {}
    IconHandle OnQueryDragIcon() override { return 0; }

    std::vector<std::uintptr_t> ticks;

private:
    DialogHost* host_ = nullptr;
};

TEST(SimDialogHost, MessageBoxesAnswerFromTheScriptAndRunTheHookWhileOpen) {
    SimDialogHost host;
    CountingHandler handler;
    handler.OnInitDialog(host);
    host.QueueMessageBoxAnswer(kIdNo);
    host.QueueMessageBoxAnswer(kIdYes);
    int hookRuns = 0;
    host.SetMessageBoxHook([&](const sim::SimMessageBox& box) {
        ++hookRuns;
        EXPECT_EQ(host.messageBoxes().size(), static_cast<std::size_t>(hookRuns));
        EXPECT_EQ(box.style, kMbYesNo | kMbIconExclamation);
        handler.OnTimer(0);
    });

    const DisplayText text({"Do you want to uninstall \" ", 20127}, {"X", kAnsiCodePage},
                           {"\"", 20127});
    EXPECT_EQ(host.ShowMessageBox(text, {"Title", 20127}, kMbYesNo | kMbIconExclamation), kIdNo);
    EXPECT_EQ(host.ShowMessageBox(text, {"Title", 20127}, kMbYesNo | kMbIconExclamation), kIdYes);
    EXPECT_EQ(host.ShowMessageBox(text, {"Title", 20127}, kMbYesNo | kMbIconExclamation), 0);

    EXPECT_EQ(hookRuns, 3);
    EXPECT_EQ(handler.ticks, (std::vector<std::uintptr_t>{0, 0, 0}));
    ASSERT_EQ(host.messageBoxes().size(), 3u);
    const sim::SimMessageBox& first = host.messageBoxes()[0];
    EXPECT_EQ(first.answer, kIdNo);
    EXPECT_EQ(first.text,
              (sim::RecordedText{
                  {"Do you want to uninstall \" ", 20127}, {"X", kAnsiCodePage}, {"\"", 20127}}));
    EXPECT_EQ(sim::JoinedBytes(first.text), "Do you want to uninstall \" X\"");
    EXPECT_EQ(first.caption, (sim::RecordedText{{"Title", 20127}}));
}

TEST(SimDialogHost, RecordsEveryTimerCall) {
    SimDialogHost host;
    EXPECT_TRUE(host.StartTimer(0, 2000));
    EXPECT_TRUE(host.StartTimer(3, 100));
    EXPECT_EQ(host.runningTimers(), (std::set<std::uintptr_t>{0, 3}));
    EXPECT_TRUE(host.StopTimer(0));
    EXPECT_FALSE(host.StopTimer(0));
    EXPECT_EQ(host.runningTimers(), (std::set<std::uintptr_t>{3}));
    ASSERT_EQ(host.timerCalls().size(), 4u);
    EXPECT_TRUE(host.timerCalls()[0].start);
    EXPECT_EQ(host.timerCalls()[0].milliseconds, 2000u);
    EXPECT_FALSE(host.timerCalls()[3].start);
}

TEST(SimDialogHost, ModalRunsShareTheResourcesAndReturnHowTheDialogEnded) {
    SimDialogHost host;
    host.AddIconResource(128);
    host.SetResourceString(101, u"about");
    EXPECT_EQ(host.LoadAppIcon(128), 0x1000u + 128);
    EXPECT_EQ(host.LoadAppIcon(129), 0u);
    EXPECT_EQ(host.LoadResourceString(102), u"");

    CountingHandler handler;
    EXPECT_EQ(host.RunModal(100, handler), -1);

    host.SetModalHook([](SimDialogHost& window, DialogHandler& dialog) {
        EXPECT_EQ(window.LoadResourceString(101), u"about");
        EXPECT_EQ(window.LoadAppIcon(128), 0x1000u + 128);
        dialog.OnCommand(kIdOk, kButtonClicked);
    });
    EXPECT_EQ(host.RunModal(102, handler), 5);

    ASSERT_EQ(host.modalRuns().size(), 2u);
    EXPECT_EQ(host.modalRuns()[0].templateId, 100u);
    EXPECT_EQ(host.modalRuns()[1].templateId, 102u);
    EXPECT_FALSE(host.modalRuns()[1].initResult);
    EXPECT_EQ(host.modalRuns()[1].window->caption(), (sim::RecordedText{{"counting", 0}}));
    EXPECT_FALSE(host.ended());
}

}  // namespace
}  // namespace drvsweep
