#include "platform/core/dispatcher.h"
#include "platform/core/message_box.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace vendrel {
namespace {

TEST(ManualDispatcher, RunsQueuedCallsInOrderOnlyWhenPumped) {
    ManualDispatcher d;
    std::vector<int> seen;
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i) {
            d.Queue([&seen, i] { seen.push_back(i); });
        }
        EXPECT_FALSE(d.IsUIThread());
    });
    worker.join();
    EXPECT_TRUE(seen.empty());
    d.Queue([&] { d.Queue([&] { seen.push_back(1000); }); });
    EXPECT_EQ(d.Pump(), 102);
    ASSERT_EQ(seen.size(), 101u);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(seen[i], i);
    }
    EXPECT_EQ(seen.back(), 1000);
    EXPECT_TRUE(d.IsUIThread());
}

TEST(RecordingMessageBox, RecordsTextsAndAnswersFromItsQueue) {
    RecordingMessageBox box;
    {
        const TScopedMessageBoxService installed(&box);
        box.answers = {TModalResult::mrNo};
        const TMsgDlgButtons yesNo{TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo};
        EXPECT_EQ(MessageBoxService().MessageDlg("Remove?", TMsgDlgType::mtConfirmation, yesNo),
                  TModalResult::mrNo);
        EXPECT_EQ(MessageBoxService().MessageDlg("Again?", TMsgDlgType::mtConfirmation, yesNo),
                  TModalResult::mrYes);
        MessageBoxService().ShowMessage("Done");
    }
    EXPECT_NE(&MessageBoxService(), &box) << "the guard put the silent default back";
    ASSERT_EQ(box.shown.size(), 3u);
    EXPECT_EQ(box.shown[0].text, "Remove?");
    EXPECT_EQ(box.shown[2].type, TMsgDlgType::mtInformation);
}

} // namespace
} // namespace vendrel
