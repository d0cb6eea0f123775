#include "CurrentDirectory.h"
#include "WorkflowHarness.h"
#include "app/Resources.h"
#include "app/SetupFileStore.h"
#include "os/Paths.h"
#include "ui/StandardIds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace
{

const std::string SoftwareDirectory = "/home/depot/software/";

std::string SetupQuestion(const std::string& name)
{
    return "Do you want to execute the setup?\n<" + name + ">";
}

struct SProgressText
{
    std::string name;
    int totalKilobytes = 0;
};

// Reads "varnoxsetup.exe: 150 / 300 KB ( 50.0% )"; false for any other text.
bool ParseProgressText(const std::string& text, SProgressText& progress)
{
    char name[32] = {};
    int done = 0;
    double percent = 0;
    int consumed = -1;
    const bool parsed = std::sscanf(text.c_str(), "%31[^:]: %d / %d KB ( %lf%% )%n", name, &done,
                                    &progress.totalKilobytes, &percent, &consumed) == 4;
    progress.name = name;
    return parsed && consumed == static_cast<int>(text.size());
}

// A progress text for one of the two setups, and nothing else.
bool IsProgressText(const std::string& text)
{
    SProgressText progress;
    return ParseProgressText(text, progress) &&
           (progress.name == "varnoxsetup.exe" || progress.name == "kellidsetup.exe");
}

// Whether `expected` occurs in `texts` in this order (other texts may lie between).
bool ContainsInOrder(const std::vector<std::string>& texts, const std::vector<std::string>& expected)
{
    size_t next = 0;
    for (const std::string& text : texts)
    {
        if (next < expected.size() && text == expected[next])
            ++next;
    }
    return next == expected.size();
}

TEST(DownloadWorkflow, BothPackagesArriveInOrderByteIdenticalWithTheStatusTexts)
{
    CWorkflowHarness harness;
    // Slow enough that each file shows its progress on the way: a transfer reports at most every
    // 500 ms, so the first file takes longer than that.
    CRecorderSimulator::Options options;
    options.throttleBytesPerSecond = 400 * 1024;
    ASSERT_TRUE(harness.StartRecorder(options));
    harness.StartDownload(harness.DownloadDirectory());

    // While it runs: button 2 cancels, the inputs are locked, the browse button is not.
    EXPECT_EQ(harness.Window().GetText(IdCancel), "Cancel");
    for (int id :
         {IDC_RECORDER_ADDRESS, IDC_PASSWORD, IDC_TEMP_DIRECTORY, IDC_DOWNLOAD, IDC_KELLID, IDC_VARNOX})
        EXPECT_FALSE(harness.Window().IsEnabled(id)) << "control " << id;
    EXPECT_TRUE(harness.Window().IsEnabled(IDC_BROWSE));

    harness.Backend().QueueAnswer(EMessageBoxResult::No);
    harness.Backend().QueueAnswer(EMessageBoxResult::No);
    ASSERT_TRUE(harness.RunUntilIdle());

    EXPECT_EQ(harness.RequestedPaths(), (std::vector<std::string>{SoftwareDirectory + "varnoxsetup.exe",
                                                                  SoftwareDirectory + "kellidsetup.exe"}));
    EXPECT_EQ(ReadWholeFile(harness.DownloadDirectory() + "/varnoxsetup.exe"), harness.VarnoxContent);
    EXPECT_EQ(ReadWholeFile(harness.DownloadDirectory() + "/kellidsetup.exe"), harness.KellidContent);
    EXPECT_EQ(harness.BoxTexts(),
              (std::vector<std::string>{SetupQuestion("varnoxsetup.exe"), SetupQuestion("kellidsetup.exe")}));

    const auto& history = harness.StatusHistory();
    EXPECT_TRUE(ContainsInOrder(history, {"Connecting...", "Device information is requested.", "Connected."}))
        << ::testing::PrintToString(history);
    size_t progressTexts = 0;
    for (const std::string& text : history)
        progressTexts += IsProgressText(text) ? 1 : 0;
    EXPECT_GE(progressTexts, 1u) << ::testing::PrintToString(history);
    EXPECT_GT(harness.HighestProgress(), 0);

    // The last report of the first file arrives after the second was requested; it must not show
    // under the second file's name. Each total is the file plus its short item list.
    for (const std::string& text : history)
    {
        SProgressText progress;
        if (!ParseProgressText(text, progress))
            continue;
        const size_t size =
            progress.name == "kellidsetup.exe" ? harness.KellidContent.size() : harness.VarnoxContent.size();
        EXPECT_EQ(progress.totalKilobytes, static_cast<int>(size / 1024)) << text;
    }
    harness.ExpectIdleEnd();
}

// Notes every save: where, and how many bytes in one write.
class CCountingStore : public CSetupFileStore
{
public:
    int64_t Save(const char* path, const uint8_t* data, int32_t length) override
    {
        saves.emplace_back(path, length);
        return CSetupFileStore::Save(path, data, length);
    }

    std::vector<std::pair<std::string, int32_t>> saves;
};

TEST(DownloadWorkflow, EachFileIsWrittenOnceAndNoFileSizedBlockOutlivesItsSave)
{
    CWorkflowHarness harness;
    ASSERT_TRUE(harness.StartRecorder());
    CCountingStore store;
    harness.StartDownload(harness.DownloadDirectory());
    harness.Backend().QueueAnswer(EMessageBoxResult::No);
    harness.Backend().QueueAnswer(EMessageBoxResult::No);

    // Between ticks, after the first file was saved and while the second is on its way.
    ASSERT_TRUE(harness.RunUntil([&] { return !store.saves.empty(); }));
    EXPECT_LE(harness.Dialog().EventQueueHeldBytes(), CEventQueue::RetainedCapacity);
    EXPECT_LE(harness.Dialog().ReceiveBufferCapacity(), CReceiveAssembler::RetainedCapacity);
    ASSERT_TRUE(harness.RunUntilIdle());

    const std::string directory = harness.DownloadDirectory();
    const std::string separator(1, os::PathSeparator());
    EXPECT_EQ(store.saves, (std::vector<std::pair<std::string, int32_t>>{
                               {directory + separator + "varnoxsetup.exe",
                                static_cast<int32_t>(harness.VarnoxContent.size())},
                               {directory + separator + "kellidsetup.exe",
                                static_cast<int32_t>(harness.KellidContent.size())}}));
    EXPECT_EQ(ReadWholeFile(directory + "/varnoxsetup.exe"), harness.VarnoxContent);
    EXPECT_EQ(ReadWholeFile(directory + "/kellidsetup.exe"), harness.KellidContent);
    EXPECT_LE(harness.Dialog().EventQueueHeldBytes(), CEventQueue::RetainedCapacity);
    EXPECT_EQ(harness.Dialog().ReceiveBufferCapacity(), 0);
    harness.ExpectIdleEnd();
}

struct SShortAnswer
{
    const char* name;
    std::function<void(CRecorderSimulator::Options& options)> arrange;
};

std::vector<uint8_t> AnswerBytes(const SCommand& command, uint16_t ident, int32_t lParam,
                                 const std::vector<uint8_t>& data)
{
    const auto header = CRecorderSimulator::EncodeHeader(command.target, command.com, ident, Acks::Executed,
                                                         lParam, static_cast<int32_t>(data.size()));
    std::vector<uint8_t> bytes(header.size() + data.size());
    std::copy(header.begin(), header.end(), bytes.begin());
    std::copy(data.begin(), data.end(), bytes.begin() + static_cast<long>(header.size()));
    return bytes;
}

// Answers shorter than their layout are read as far as they go; the download carries on.
TEST(DownloadWorkflow, ShortTimeAndSwitchAnswersDoNotStopTheDownload)
{
    const SShortAnswer answers[] = {
        {"date and time of three bytes after the login",
         [](CRecorderSimulator::Options& options) {
             options.extraAfterLogin = AnswerBytes(Commands::RecorderTime, Idents::Plain, 0, {20, 30, 6});
         }},
        {"switch item of one byte in the version answer",
         [](CRecorderSimulator::Options& options)
         {
             options.replyOverride =
                 [](const CRecorderSimulator::ReceivedPacket& packet, std::vector<uint8_t>& reply)
             {
                 if (!Commands::DeviceInformation.Matches(packet.header) ||
                     packet.header.LParam() != Tags::DeviceVersion)
                     return false;
                 reply = AnswerBytes(Commands::DeviceInformation, packet.header.Ident(), Tags::DeviceVersion,
                                     {6, 0, 4, 0, '2', '.', '1', '.', '0', 0, 1, 0, 2, 0, 1});
                 return true;
             };
         }},
    };
    for (const SShortAnswer& answer : answers)
    {
        SCOPED_TRACE(answer.name);
        CWorkflowHarness harness;
        CRecorderSimulator::Options options;
        answer.arrange(options);
        ASSERT_TRUE(harness.StartRecorder(options));
        harness.StartDownload(harness.DownloadDirectory());
        harness.Backend().QueueAnswer(EMessageBoxResult::No);
        harness.Backend().QueueAnswer(EMessageBoxResult::No);
        ASSERT_TRUE(harness.RunUntilIdle());

        EXPECT_EQ(harness.BoxTexts(), (std::vector<std::string>{SetupQuestion("varnoxsetup.exe"),
                                                                SetupQuestion("kellidsetup.exe")}));
        EXPECT_EQ(ReadWholeFile(harness.DownloadDirectory() + "/varnoxsetup.exe"), harness.VarnoxContent);
        EXPECT_EQ(ReadWholeFile(harness.DownloadDirectory() + "/kellidsetup.exe"), harness.KellidContent);
        harness.ExpectIdleEnd();
    }
}

TEST(DownloadWorkflow, OnlyTheSecondPackageRequestsOnlyItsFile)
{
    CWorkflowHarness harness;
    ASSERT_TRUE(harness.StartRecorder());
    harness.StartDownload(harness.DownloadDirectory(), false, true);
    harness.Backend().QueueAnswer(EMessageBoxResult::No);
    ASSERT_TRUE(harness.RunUntilIdle());

    EXPECT_EQ(harness.RequestedPaths(), std::vector<std::string>{SoftwareDirectory + "kellidsetup.exe"});
    EXPECT_EQ(harness.BoxTexts(), std::vector<std::string>{SetupQuestion("kellidsetup.exe")});
    EXPECT_FALSE(FileExists(harness.DownloadDirectory() + "/varnoxsetup.exe"));
    EXPECT_EQ(ReadWholeFile(harness.DownloadDirectory() + "/kellidsetup.exe"), harness.KellidContent);
    harness.ExpectIdleEnd();
}

struct SDirectoryForm
{
    const char* name;
    // What the operator types; "<dir>" stands for the download directory.
    std::string typed;
    // What the dialog keeps as its directory; "<dir>" as above.
    std::string keptDirectory;
    // An empty field is reported when the focus leaves it.
    bool reportsMissingDirectory;
};

// "<dir>" becomes `directory`; separators after it become the platform's.
std::string Expand(const std::string& text, const std::string& directory)
{
    const size_t marker = text.find("<dir>");
    if (marker == std::string::npos)
        return text;
    std::string tail = text.substr(marker + 5);
    std::replace(tail.begin(), tail.end(), '/', os::PathSeparator());
    return text.substr(0, marker) + directory + tail;
}

TEST(DownloadWorkflow, DirectoryFieldFormsTheLocalPath)
{
    const SDirectoryForm forms[] = {
        {"without trailing separator", "<dir>", "<dir>/", false},
        {"with trailing separator", "<dir>/", "<dir>/", false},
        // The bare file name, which lands in the current directory.
        {"empty", "", "", true},
    };
    for (const SDirectoryForm& form : forms)
    {
        SCOPED_TRACE(form.name);
        CWorkflowHarness harness;
        ASSERT_TRUE(harness.StartRecorder());
        const std::string directory = harness.DownloadDirectory();
        CCurrentDirectory current(directory);
        if (form.reportsMissingDirectory)
            harness.Backend().QueueAnswer(EMessageBoxResult::Ok);
        harness.Backend().QueueAnswer(EMessageBoxResult::No);

        harness.StartDownload(Expand(form.typed, directory), true, false);
        EXPECT_EQ(harness.Dialog().TempDir(), Expand(form.keptDirectory, directory));
        ASSERT_TRUE(harness.RunUntilIdle());

        std::vector<std::string> expectedBoxes;
        if (form.reportsMissingDirectory)
            expectedBoxes.push_back("The selected directory does not exist!");
        expectedBoxes.push_back(SetupQuestion("varnoxsetup.exe"));
        EXPECT_EQ(harness.BoxTexts(), expectedBoxes);
        EXPECT_EQ(ReadWholeFile(directory + "/varnoxsetup.exe"), harness.VarnoxContent);
        // Nothing went beside the directory (a missing separator would put it there).
        EXPECT_FALSE(FileExists(directory + "varnoxsetup.exe"));
        harness.ExpectIdleEnd();
    }
}

} // namespace
