#include "WorkflowHarness.h"
#include "app/Resources.h"
#include "protocol/EventQueue.h"
#include "support/LittleEndian.h"
#include "ui/StandardIds.h"

#include <gtest/gtest.h>

namespace
{

std::vector<uint8_t> ProgressPayload(int32_t total, int32_t done)
{
    std::vector<uint8_t> payload(16, 0);
    WriteInt32LE(payload.data(), total);
    WriteInt32LE(payload.data() + 4, done);
    return payload;
}

// Events the session could post, handled by the next tick of an idle dialog.
class WorkflowEvents : public ::testing::Test
{
protected:
    void Post(int32_t type, int32_t code, const std::vector<uint8_t>& payload = {})
    {
        harness.Dialog().PostEvent(type, code, payload);
    }
    void Tick() { harness.Window().Tick(); }
    std::string StatusLine() { return harness.Window().GetText(IDC_STATUS); }
    int Bar() { return harness.Window().GetProgressPosition(IDC_PROGRESS); }

    CWorkflowHarness harness;
};

TEST_F(WorkflowEvents, StatusCodesOutsideTheTableLeaveTheStatusLine)
{
    Post(StatusEvent, 37);
    Tick();
    ASSERT_EQ(StatusLine(), "Ready.");
    for (int32_t code : {1, 4, 15, 17, 31, 40, 51, 53, 62, 64, -1, -36})
    {
        Post(StatusEvent, code, {0, 0, 0, 0});
        Tick();
        EXPECT_EQ(StatusLine(), "Ready.") << "code " << code;
    }
    // Information codes only change the line.
    for (const auto& row :
         {std::make_pair(63, "The connection ended by control."), std::make_pair(52, "Message")})
    {
        Post(StatusEvent, row.first);
        Tick();
        EXPECT_EQ(StatusLine(), row.second);
    }
    EXPECT_TRUE(harness.Boxes().empty());
    harness.ExpectIdleEnd(false);
}

TEST_F(WorkflowEvents, ConnectedRequestsTheNextFileBeforeItShows)
{
    // With no file left to request, the request ends the download at once; the line still reads
    // "Connected." because it is set afterwards.
    Post(StatusEvent, 36);
    Tick();
    EXPECT_EQ(StatusLine(), "Connected.");
    EXPECT_TRUE(harness.Boxes().empty());
    harness.ExpectIdleEnd(false);
}

TEST_F(WorkflowEvents, ProgressShowsKilobytesPercentAndRoundedBar)
{
    const struct
    {
        int32_t total;
        int32_t done;
        const char* text;
        int bar;
    } rows[] = {
        {0, 0, "varnoxsetup.exe: 0 / 0 KB ( 0.0% )", 0},
        {0, 4096, "varnoxsetup.exe: 4 / 0 KB ( 0.0% )", 0},
        {300 * 1024 + 512, (300 * 1024 + 512) / 2, "varnoxsetup.exe: 150 / 300 KB ( 50.0% )", 50},
        {1000, 995, "varnoxsetup.exe: 0 / 0 KB ( 99.5% )", 100},
        {1000, 994, "varnoxsetup.exe: 0 / 0 KB ( 99.4% )", 99},
        {2047, 2047, "varnoxsetup.exe: 1 / 1 KB ( 100.0% )", 100},
        {3 * 1024 * 1024, 1024 * 1024 + 1023, "varnoxsetup.exe: 1024 / 3072 KB ( 33.4% )", 33},
        // Numbers no transfer produces still give a text and a bar inside its range.
        {1, 2147483647, "varnoxsetup.exe: 2097151 / 0 KB ( 214748364700.0% )", 100},
        {100, -50, "varnoxsetup.exe: 0 / 0 KB ( -50.0% )", 0},
    };
    harness.Dialog().AddPendingFile("varnoxsetup.exe", "/nonexistent/varnoxsetup.exe");
    for (const auto& row : rows)
    {
        Post(ProgressEvent, 0, ProgressPayload(row.total, row.done));
        Tick();
        EXPECT_EQ(StatusLine(), row.text) << row.total << " " << row.done;
        EXPECT_EQ(Bar(), row.bar) << row.total << " " << row.done;
    }
    // Sending progress looks the same.
    Post(ProgressEvent, 1, ProgressPayload(2048, 1024));
    Tick();
    EXPECT_EQ(StatusLine(), "varnoxsetup.exe: 1 / 2 KB ( 50.0% )");
    harness.Dialog().ResetToIdle();
    harness.ExpectIdleEnd();
}

TEST_F(WorkflowEvents, EventsWithoutAFileToNameChangeNothingAndNeverCrash)
{
    Post(StatusEvent, 37);
    Tick();
    // No file is pending: progress and data have no head to belong to.
    Post(ProgressEvent, 0, ProgressPayload(1000, 500));
    Post(DataEvent, 1, {1, 2, 3});
    Post(DataEvent, 1);
    Tick();
    EXPECT_EQ(StatusLine(), "Ready.");
    EXPECT_EQ(Bar(), 0);
    EXPECT_EQ(harness.Dialog().DownloadedFileCount(), 0u);

    // A progress event too short for its two numbers is not read.
    harness.Dialog().AddPendingFile("varnoxsetup.exe", "/nonexistent/varnoxsetup.exe");
    Post(ProgressEvent, 0, {0x10, 0, 0, 0});
    Post(ProgressEvent, 0);
    Tick();
    EXPECT_EQ(StatusLine(), "Ready.");
    harness.Dialog().ResetToIdle();

    // A fatal status names an empty file then; a question answered OK has nothing to skip.
    harness.Backend().QueueAnswer(EMessageBoxResult::Ok);
    harness.Backend().QueueAnswer(EMessageBoxResult::Ok);
    Post(StatusEvent, 12);
    Tick();
    Post(StatusEvent, 39, {0, 0, 0, 0});
    Tick();
    EXPECT_EQ(harness.BoxTexts(),
              (std::vector<std::string>{
                  "A fatal error occured:\n<The connection has been reset.>\nThe download can not be "
                  "continued!\nFile: ",
                  "An error occured.\n<Opening the file failed!>\nDo you want to continue?\nFile: "}));
    harness.ExpectIdleEnd();
}

TEST_F(WorkflowEvents, DataEventsOtherThanACompleteFileWriteNothing)
{
    const std::string path = harness.DownloadDirectory() + "/varnoxsetup.exe";
    harness.Dialog().AddPendingFile("varnoxsetup.exe", path.c_str());
    // The recorder's clock (code 0) and the acknowledged time (code 3).
    Post(DataEvent, 0, {1, 2, 3, 4, 5, 6, 7, 8});
    Post(DataEvent, 3, {10, 0, 0, 0});
    Tick();
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(harness.Dialog().PendingFileCount(), 1u);
    EXPECT_EQ(harness.Dialog().DownloadedFileCount(), 0u);

    // Unknown event types are passed over as well.
    Post(7, 1, {1, 2, 3});
    Tick();
    EXPECT_EQ(harness.Dialog().PendingFileCount(), 1u);
    harness.Dialog().ResetToIdle();
    harness.ExpectIdleEnd();
}

TEST_F(WorkflowEvents, TicksDeliveredWhileABoxIsOpenDoNothing)
{
    // Each box delivers several ticks before it returns. Handled again, the fatal event behind
    // the box would open box after box; handled once, there is exactly one.
    harness.Backend().SetTicksPerMessageBox(5);
    harness.Backend().QueueAnswer(EMessageBoxResult::Ok);
    harness.Dialog().AddPendingFile("varnoxsetup.exe", "/nonexistent/varnoxsetup.exe");
    Post(StatusEvent, 6, {0x4D, 0x27, 0, 0});
    Post(StatusEvent, 37);
    Tick();
    EXPECT_EQ(harness.BoxTexts(),
              std::vector<std::string>{
                  "A fatal error occured:\n<Connection request rejected!>\nThe download can not be "
                  "continued!\nFile: varnoxsetup.exe"});
    EXPECT_FALSE(harness.Dialog().IsInTimer());
    // What the box's end left queued is discarded, not shown.
    EXPECT_EQ(StatusLine(), "");
    harness.ExpectIdleEnd();
}

} // namespace
