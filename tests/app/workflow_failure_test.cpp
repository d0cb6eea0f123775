#include "WorkflowHarness.h"
#include "app/Resources.h"
#include "app/SetupFileStore.h"
#include "os/Paths.h"
#include "support/AllocationWatch.h"
#include "ui/StandardIds.h"
#include "wire/Commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace
{

const std::string SoftwareDirectory = "/home/depot/software/";
const std::string Varnox = CWorkflowHarness::VarnoxName;
const std::string Kellid = CWorkflowHarness::KellidName;

std::string FatalText(const std::string& reason, const std::string& file)
{
    return "A fatal error occured:\n<" + reason + ">\nThe download can not be continued!\nFile: " + file;
}

std::string QuestionText(const std::string& reason, const std::string& file)
{
    return "An error occured.\n<" + reason + ">\nDo you want to continue?\nFile: " + file;
}

std::string SetupQuestion(const std::string& name)
{
    return "Do you want to execute the setup?\n<" + name + ">";
}

// Writes only half of the named file, as a full disk would, and reports the short count.
class CShortWritingStore : public CSetupFileStore
{
public:
    // No victim: every file is written whole.
    explicit CShortWritingStore(std::string victim) : m_victim(std::move(victim)) {}

    int64_t Save(const char* path, const uint8_t* data, int32_t length) override
    {
        const std::string target = path;
        if (m_victim.empty() || target.size() < m_victim.size() ||
            target.compare(target.size() - m_victim.size(), m_victim.size(), m_victim) != 0)
            return CSetupFileStore::Save(path, data, length);
        return CSetupFileStore::Save(path, data, length / 2);
    }

private:
    std::string m_victim;
};

struct SFailure
{
    const char* name;
    // Prepares the recorder and the operator's answers; returns the directory to type.
    std::function<std::string(CWorkflowHarness& harness, CRecorderSimulator::Options& options)> arrange;
    bool startRecorder;
    // The file the disk has no room for, if any.
    std::string shortWrittenFile;
    std::vector<std::string> boxes;
    std::vector<std::string> requested;
    // Which setup files are on disk afterwards, byte-identical to the recorder's.
    std::vector<std::string> keptOnDisk;
    std::vector<std::string> absent;
    // The kind of the first box.
    EMessageBoxIcon firstIcon;
    EMessageBoxButtons firstButtons;
};

std::string Downloads(CWorkflowHarness& harness)
{
    return harness.DownloadDirectory();
}

// Every row of the failure table: what the operator sees and where the download ends.
TEST(WorkflowFailures, EachFailureShowsItsBoxAndEndsIdle)
{
    const SFailure failures[] = {
        {"refused connect",
         [](CWorkflowHarness& harness, CRecorderSimulator::Options&)
         {
             harness.UseClosedPort();
             harness.Backend().QueueAnswer(EMessageBoxResult::Ok);
             return Downloads(harness);
         },
         false,
         "",
         {FatalText("Connection request rejected!", Varnox)},
         {},
         {},
         {Varnox, Kellid},
         EMessageBoxIcon::Stop,
         EMessageBoxButtons::Ok},
        {"user level below administrator",
         [](CWorkflowHarness& harness, CRecorderSimulator::Options& options)
         {
             options.userLevel = 2;
             harness.Backend().QueueAnswer(EMessageBoxResult::Ok);
             return Downloads(harness);
         },
         true,
         "",
         {"You need an authentification as administrator!\nThe procedure is cancelled."},
         {},
         {},
         {Varnox, Kellid},
         EMessageBoxIcon::Stop,
         EMessageBoxButtons::Ok},
        {"remote file missing, OK skips it",
         [](CWorkflowHarness& harness, CRecorderSimulator::Options&)
         {
             std::remove((harness.Scratch() / "depot/varnoxsetup.exe").c_str());
             harness.Backend().QueueAnswer(EMessageBoxResult::Ok);
             harness.Backend().QueueAnswer(EMessageBoxResult::No);
             return Downloads(harness);
         },
         true,
         "",
         {QuestionText("Opening the file failed!", Varnox), SetupQuestion(Kellid)},
         {Varnox, Kellid},
         {Kellid},
         {Varnox},
         EMessageBoxIcon::Question,
         EMessageBoxButtons::OkCancel},
        {"last remote file missing, OK offers the one saved before",
         [](CWorkflowHarness& harness, CRecorderSimulator::Options&)
         {
             std::remove((harness.Scratch() / "depot/kellidsetup.exe").c_str());
             harness.Backend().QueueAnswer(EMessageBoxResult::Ok);
             harness.Backend().QueueAnswer(EMessageBoxResult::No);
             return Downloads(harness);
         },
         true,
         "",
         {QuestionText("Opening the file failed!", Kellid), SetupQuestion(Varnox)},
         {Varnox, Kellid},
         {Varnox},
         {Kellid},
         EMessageBoxIcon::Question,
         EMessageBoxButtons::OkCancel},
        {"remote file missing, Cancel ends the download",
         [](CWorkflowHarness& harness, CRecorderSimulator::Options&)
         {
             std::remove((harness.Scratch() / "depot/varnoxsetup.exe").c_str());
             harness.Backend().QueueAnswer(EMessageBoxResult::Cancel);
             return Downloads(harness);
         },
         true,
         "",
         {QuestionText("Opening the file failed!", Varnox)},
         {Varnox},
         {},
         {Varnox, Kellid},
         EMessageBoxIcon::Question,
         EMessageBoxButtons::OkCancel},
        {"local file cannot be created",
         [](CWorkflowHarness& harness, CRecorderSimulator::Options&)
         {
             // Leaving the field reports the directory first; each file is then skipped.
             for (int answer = 0; answer < 3; ++answer)
                 harness.Backend().QueueAnswer(EMessageBoxResult::Ok);
             return harness.Scratch() / "absent";
         },
         true,
         "",
         {"The selected directory does not exist!",
          "The file could not be saved with following name!\n<<scratch>/absent/varnoxsetup.exe>",
          "The file could not be saved with following name!\n<<scratch>/absent/kellidsetup.exe>"},
         {Varnox, Kellid},
         {},
         {Varnox, Kellid},
         EMessageBoxIcon::Exclamation,
         EMessageBoxButtons::Ok},
        {"first file written short",
         [](CWorkflowHarness& harness, CRecorderSimulator::Options&)
         {
             harness.Backend().QueueAnswer(EMessageBoxResult::Ok);
             harness.Backend().QueueAnswer(EMessageBoxResult::No);
             return Downloads(harness);
         },
         true,
         Varnox,
         {"The file could not be written!\nPossibly there is not enough space available in that directory!\n"
          "<<downloads>/varnoxsetup.exe>",
          SetupQuestion(Kellid)},
         {Varnox, Kellid},
         {Kellid},
         {Varnox},
         EMessageBoxIcon::Exclamation,
         EMessageBoxButtons::Ok},
        {"fatal error in the second file",
         [](CWorkflowHarness& harness, CRecorderSimulator::Options& options)
         {
             // The second file request is refused outright: "not executed" ends the download.
             options.replyOverride =
                 [](const CRecorderSimulator::ReceivedPacket& packet, std::vector<uint8_t>& reply)
             {
                 const std::string payload(packet.payload.begin(), packet.payload.end());
                 const bool secondFileRequest = Commands::FileRequest.Matches(packet.header) &&
                                                payload.find("kellidsetup.exe") != std::string::npos;
                 if (!secondFileRequest)
                     return false;
                 const auto header = CRecorderSimulator::EncodeHeader(
                     packet.header.Target(), packet.header.Com(), packet.header.Ident(), Acks::NotExecuted,
                     packet.header.LParam(), 0);
                 reply.assign(header.begin(), header.end());
                 return true;
             };
             harness.Backend().QueueAnswer(EMessageBoxResult::Ok);
             return Downloads(harness);
         },
         true,
         "",
         {FatalText("Protocol command not processed.", Kellid)},
         {Varnox, Kellid},
         {Varnox},
         {Kellid},
         EMessageBoxIcon::Stop,
         EMessageBoxButtons::Ok},
    };

    for (const SFailure& failure : failures)
    {
        SCOPED_TRACE(failure.name);
        CWorkflowHarness harness;
        CShortWritingStore shortWrites(failure.shortWrittenFile);
        CRecorderSimulator::Options options;
        const std::string directory = failure.arrange(harness, options);
        if (failure.startRecorder)
        {
            ASSERT_TRUE(harness.StartRecorder(options));
        }
        harness.StartDownload(directory);
        ASSERT_TRUE(harness.RunUntilIdle());

        std::vector<std::string> expectedBoxes;
        for (std::string text : failure.boxes)
        {
            for (const auto& marker :
                 {std::make_pair(std::string("<scratch>"), harness.Scratch().Path()),
                  std::make_pair(std::string("<downloads>"), harness.DownloadDirectory())})
            {
                const size_t at = text.find(marker.first);
                if (at == std::string::npos)
                    continue;
                text.replace(at, marker.first.size(), marker.second);
                // The rest of the path, up to its closing bracket, in the platform's separators.
                const size_t end = text.find('>', at + marker.second.size());
                std::replace(text.begin() + static_cast<long>(at + marker.second.size()),
                             end == std::string::npos ? text.end() : text.begin() + static_cast<long>(end),
                             '/', os::PathSeparator());
            }
            expectedBoxes.push_back(text);
        }
        EXPECT_EQ(harness.BoxTexts(), expectedBoxes);
        ASSERT_FALSE(harness.Boxes().empty());
        EXPECT_EQ(harness.Boxes()[0].icon, failure.firstIcon);
        EXPECT_EQ(harness.Boxes()[0].buttons, failure.firstButtons);

        std::vector<std::string> expectedPaths;
        for (const std::string& name : failure.requested)
            expectedPaths.push_back(SoftwareDirectory + name);
        EXPECT_EQ(harness.RequestedPaths(), expectedPaths);
        for (const std::string& name : failure.keptOnDisk)
            EXPECT_EQ(ReadWholeFile(directory + "/" + name),
                      name == Varnox ? harness.VarnoxContent : harness.KellidContent)
                << name;
        for (const std::string& name : failure.absent)
            EXPECT_FALSE(FileExists(directory + "/" + name)) << name;
        harness.ExpectIdleEnd();
    }
}

TEST(WorkflowFailures, MemoryThatCannotBeHadEndsTheDownloadWithItsMessageAndSavesNothing)
{
    CWorkflowHarness harness;
    ASSERT_TRUE(harness.StartRecorder());
    harness.StartDownload(harness.DownloadDirectory());
    harness.Backend().QueueAnswer(EMessageBoxResult::Ok);
    {
        // The first file (300 KiB) does not fit; everything the conversation needs before it does.
        CAllocationWatch watch;
        watch.FailAbove(200 * 1024);
        ASSERT_TRUE(harness.RunUntilIdle());
        EXPECT_GE(watch.Failures(), 1);
    }
    EXPECT_EQ(harness.BoxTexts(), std::vector<std::string>{FatalText("No memory available!", Varnox)});
    EXPECT_EQ(harness.Boxes()[0].icon, EMessageBoxIcon::Stop);
    EXPECT_FALSE(FileExists(harness.DownloadDirectory() + "/" + Varnox));
    EXPECT_FALSE(FileExists(harness.DownloadDirectory() + "/" + Kellid));
    harness.ExpectIdleEnd();
}

TEST(WorkflowFailures, CancelDuringTheTransferStopsAtOnceAndSavesNothing)
{
    CWorkflowHarness harness;
    CRecorderSimulator::Options options;
    // Slow enough that the first file is still arriving when the operator cancels.
    options.throttleBytesPerSecond = 100 * 1024;
    ASSERT_TRUE(harness.StartRecorder(options));
    harness.StartDownload(harness.DownloadDirectory());
    ASSERT_TRUE(harness.RunUntil(
        [&]
        {
            return harness.Window().GetText(IDC_STATUS).find("varnoxsetup.exe: ") == 0 &&
                   harness.Window().GetProgressPosition(IDC_PROGRESS) > 0;
        }));

    ASSERT_TRUE(harness.Window().Click(IdCancel));
    EXPECT_TRUE(harness.Dialog().IsIdle());
    // Later ticks find nothing left of the download.
    harness.RunUntil([] { return false; }, 300);
    EXPECT_TRUE(harness.BoxTexts().empty());
    EXPECT_EQ(harness.RequestedPaths(), std::vector<std::string>{SoftwareDirectory + Varnox});
    EXPECT_FALSE(FileExists(harness.DownloadDirectory() + "/" + Varnox));
    EXPECT_FALSE(harness.Window().IsEnded()) << "the dialog stays open";
    harness.ExpectIdleEnd();

    // Idle again, the same button closes the dialog.
    harness.Window().Click(IdCancel);
    EXPECT_TRUE(harness.Window().IsEnded());
}

TEST(WorkflowFailures, EscapeAbortsTheDownloadAndThenClosesTheDialogWhereverTheFocusIs)
{
    for (const bool focusNowhere : {false, true})
    {
        SCOPED_TRACE(focusNowhere ? "focus nowhere" : "focus where the dialog left it");
        CWorkflowHarness harness;
        CRecorderSimulator::Options options;
        options.throttleBytesPerSecond = 100 * 1024;
        ASSERT_TRUE(harness.StartRecorder(options));
        harness.StartDownload(harness.DownloadDirectory());
        // The clicked Download button was disabled under the focus: it went on to the next tab stop.
        EXPECT_EQ(harness.Window().GetFocusId(), IdCancel);
        ASSERT_TRUE(harness.RunUntil(
            [&] { return harness.Window().GetText(IDC_STATUS).find("varnoxsetup.exe: ") == 0; }));
        if (focusNowhere)
            harness.Window().SetFocusControl(-1);

        harness.Window().PressEscape();
        EXPECT_TRUE(harness.Dialog().IsIdle());
        EXPECT_FALSE(harness.Window().IsEnded()) << "the dialog stays open";
        EXPECT_TRUE(harness.BoxTexts().empty());
        EXPECT_FALSE(FileExists(harness.DownloadDirectory() + "/" + Varnox));
        harness.ExpectIdleEnd();

        harness.Window().PressEscape();
        EXPECT_TRUE(harness.Window().IsEnded());
        EXPECT_EQ(harness.Window().GetResult(), IdCancel);
    }
}

} // namespace
