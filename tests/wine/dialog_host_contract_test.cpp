#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/wine/dialog_host_harness.h"

// The dialog host answers as user32 does, over the simulated window natively and over the real
// dialog under Wine: the list box, the timers and the system menu.
namespace drvsweep {
namespace {

using testing::RunInDialog;

DisplayText Text(const char* ascii) {
    return {ascii, kAnsiCodePage};
}

TEST(DialogHostContract, ListBoxAnswersAsTheListBoxDoes) {
    RunInDialog([](DialogHost& host) {
        const int list = IDC_SCANNER_LIST;
        EXPECT_EQ(host.ListSelection(list), kListError);
        EXPECT_EQ(host.ListSetSelection(list, 0), kListError);  // nothing to select yet
        EXPECT_EQ(host.ListInsert(list, 0, Text(" b")), 0);
        EXPECT_EQ(host.ListInsert(list, -1, Text(" c")), 1);
        EXPECT_EQ(host.ListInsert(list, 5, Text(" z")), kListError);
        EXPECT_EQ(host.ListInsert(list, 0, Text(" a")), 0);  // " a", " b", " c"

        EXPECT_EQ(host.ListSetSelection(list, 1), 1);
        EXPECT_EQ(host.ListSetSelection(list, 3), kListError);
        EXPECT_EQ(host.ListSelection(list), 1);
        EXPECT_EQ(host.ListInsert(list, 0, Text(" 0")), 0);  // the selection moves with " b"
        EXPECT_EQ(host.ListSelection(list), 2);

        EXPECT_EQ(host.ListDelete(list, 4), kListError);
        EXPECT_EQ(host.ListDelete(list, -1), kListError);
        EXPECT_EQ(host.ListDelete(list, 0), 3);  // " a", " b", " c"
        EXPECT_EQ(host.ListSelection(list), 1);
        EXPECT_EQ(host.ListDelete(list, 2), 2);  // after the selection: it stays
        EXPECT_EQ(host.ListSelection(list), 1);
        EXPECT_EQ(host.ListDelete(list, 1), 1);  // the selected entry: nothing is selected
        EXPECT_EQ(host.ListSelection(list), kListError);

        EXPECT_EQ(host.ListSetSelection(list, 0), 0);
        EXPECT_EQ(host.ListSetSelection(list, -1), kListError);  // clears, and says LB_ERR
        EXPECT_EQ(host.ListSelection(list), kListError);
    });
}

TEST(DialogHostContract, TimersStartRestartAndStop) {
    RunInDialog([](DialogHost& host) {
        EXPECT_FALSE(host.StopTimer(0));
        EXPECT_TRUE(host.StartTimer(0, 2000));
        EXPECT_TRUE(host.StartTimer(0, 2000));
        EXPECT_TRUE(host.StartTimer(7, 100));
        EXPECT_TRUE(host.StopTimer(0));
        EXPECT_FALSE(host.StopTimer(0));
        EXPECT_TRUE(host.StopTimer(7));
    });
}

TEST(DialogHostContract, DialogHasASystemMenu) {
    RunInDialog(
        [](DialogHost& host) { EXPECT_TRUE(host.AppendSystemMenuEntry(IDM_ABOUTBOX, u"About")); });
}

}  // namespace
}  // namespace drvsweep
