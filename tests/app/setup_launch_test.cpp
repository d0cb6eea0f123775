#include "FakeOpenCommand.h"
#include "WorkflowHarness.h"
#include "app/Resources.h"
#include "app/SetupFileStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace
{

// Notes what the dialog removes, and what the file held at that moment, then removes it.
class CRemovalRecorder : public CSetupFileStore
{
public:
    struct SRemoval
    {
        std::string path;
        std::vector<uint8_t> content;
    };

    bool Remove(const char* path) override
    {
        m_removals.push_back(SRemoval{path, ReadWholeFile(path)});
        return CSetupFileStore::Remove(path);
    }
    const std::vector<SRemoval>& Removals() const { return m_removals; }

private:
    std::vector<SRemoval> m_removals;
};

struct SBox
{
    std::string text;
    EMessageBoxIcon icon;
    EMessageBoxButtons buttons;
    EMessageBoxResult answer;
};

SBox Question(const std::string& name, EMessageBoxResult answer)
{
    return SBox{"Do you want to execute the setup?\n<" + name + ">", EMessageBoxIcon::Question,
                EMessageBoxButtons::YesNo, answer};
}

SBox StartFailure(const std::string& name)
{
    return SBox{"The Setup could not be executed!\n<" + name + ">", EMessageBoxIcon::Exclamation,
                EMessageBoxButtons::Ok, EMessageBoxResult::Ok};
}

const SBox Confirmation{"Please press the 'OK' button when the setup is complete.\n"
                        "Then the setup files are removed from your computer.",
                        EMessageBoxIcon::None, EMessageBoxButtons::Ok, EMessageBoxResult::Ok};

enum class EOpener
{
    Succeeds,
    Missing,
    // Ends with exit status 3, as xdg-open does when it finds no program for the file.
    FindsNoProgram,
};

struct SSetupScenario
{
    const char* name;
    bool varnox;
    bool kellid;
    EOpener opener;
    // The boxes in the order they must appear, with the operator's answers.
    std::vector<SBox> boxes;
    std::vector<std::string> started;
    std::vector<std::string> removed;
    std::vector<std::string> keptOnDisk;
};

void PrintTo(const SSetupScenario& scenario, std::ostream* out)
{
    *out << scenario.name;
}

class SetupLaunch : public ::testing::TestWithParam<SSetupScenario>
{
};

TEST_P(SetupLaunch, OffersStartsConfirmsAndRemoves)
{
    const SSetupScenario& scenario = GetParam();
    CWorkflowHarness harness;
    CFakeOpenCommand opener(harness.Scratch(), scenario.opener != EOpener::Missing);
    if (scenario.opener == EOpener::FindsNoProgram)
        opener.ExitWith(3);
    CRemovalRecorder store;
    // Ticks delivered while a box is open must not run a second round of setups.
    harness.Backend().SetTicksPerMessageBox(3);
    ASSERT_TRUE(harness.StartRecorder());
    for (const SBox& box : scenario.boxes)
        harness.Backend().QueueAnswer(box.answer);

    harness.StartDownload(harness.DownloadDirectory(), scenario.varnox, scenario.kellid);
    ASSERT_TRUE(harness.RunUntilIdle());

    const auto& shown = harness.Boxes();
    ASSERT_EQ(shown.size(), scenario.boxes.size()) << ::testing::PrintToString(harness.BoxTexts());
    for (size_t index = 0; index < shown.size(); ++index)
    {
        SCOPED_TRACE("box " + std::to_string(index));
        EXPECT_EQ(shown[index].text, scenario.boxes[index].text);
        EXPECT_EQ(shown[index].icon, scenario.boxes[index].icon);
        EXPECT_EQ(shown[index].buttons, scenario.boxes[index].buttons);
        EXPECT_EQ(shown[index].title, "Quorvel");
    }

    const std::string directory = harness.DownloadDirectory();
    ASSERT_TRUE(opener.WaitForCalls(scenario.started.size()));
    if (scenario.started.empty())
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    std::vector<std::string> startedDocuments;
    for (const CFakeOpenCommand::SCall& call : opener.Calls())
    {
        startedDocuments.push_back(call.document);
        EXPECT_EQ(call.workingDirectory, directory);
    }
    // Started side by side, the openers note their calls in any order.
    std::sort(startedDocuments.begin(), startedDocuments.end());
    std::vector<std::string> expectedDocuments;
    for (const std::string& name : scenario.started)
        expectedDocuments.push_back(directory + "/" + name);
    std::sort(expectedDocuments.begin(), expectedDocuments.end());
    EXPECT_EQ(startedDocuments, expectedDocuments);

    // Removed in the order they were accepted, each complete until then.
    ASSERT_EQ(store.Removals().size(), scenario.removed.size());
    for (size_t index = 0; index < scenario.removed.size(); ++index)
    {
        const std::string& name = scenario.removed[index];
        EXPECT_EQ(store.Removals()[index].path, directory + "/" + name);
        EXPECT_EQ(store.Removals()[index].content,
                  name == CWorkflowHarness::VarnoxName ? harness.VarnoxContent : harness.KellidContent);
        EXPECT_FALSE(FileExists(directory + "/" + name));
    }
    for (const std::string& name : scenario.keptOnDisk)
        EXPECT_EQ(ReadWholeFile(directory + "/" + name),
                  name == CWorkflowHarness::VarnoxName ? harness.VarnoxContent : harness.KellidContent);
    harness.ExpectIdleEnd();
}

const std::string Varnox = CWorkflowHarness::VarnoxName;
const std::string Kellid = CWorkflowHarness::KellidName;

INSTANTIATE_TEST_SUITE_P(
    Scenarios, SetupLaunch,
    ::testing::Values(
        SSetupScenario{"BothAccepted",
                       true,
                       true,
                       EOpener::Succeeds,
                       {Question(Varnox, EMessageBoxResult::Yes), Question(Kellid, EMessageBoxResult::Yes),
                        Confirmation},
                       {Varnox, Kellid},
                       {Varnox, Kellid},
                       {}},
        SSetupScenario{"BothDeclined",
                       true,
                       true,
                       EOpener::Succeeds,
                       {Question(Varnox, EMessageBoxResult::No), Question(Kellid, EMessageBoxResult::No)},
                       {},
                       {},
                       {Varnox, Kellid}},
        SSetupScenario{"StartFailsThenConfirmationThenRemoval",
                       true,
                       true,
                       EOpener::Missing,
                       {Question(Varnox, EMessageBoxResult::Yes), StartFailure(Varnox),
                        Question(Kellid, EMessageBoxResult::No), Confirmation},
                       {},
                       {Varnox},
                       {Kellid}},
        SSetupScenario{"OpenerFindsNoProgramThenConfirmationThenRemoval",
                       true,
                       true,
                       EOpener::FindsNoProgram,
                       {Question(Varnox, EMessageBoxResult::Yes), StartFailure(Varnox),
                        Question(Kellid, EMessageBoxResult::Yes), StartFailure(Kellid), Confirmation},
                       {Varnox, Kellid},
                       {Varnox, Kellid},
                       {}},
        SSetupScenario{"OnlySecondAccepted",
                       false,
                       true,
                       EOpener::Succeeds,
                       {Question(Kellid, EMessageBoxResult::Yes), Confirmation},
                       {Kellid},
                       {Kellid},
                       {}}),
    [](const ::testing::TestParamInfo<SSetupScenario>& parameter)
    { return std::string(parameter.param.name); });

TEST(SetupLaunchWait, AStartStillRunningAfterTheWaitCountsAsStartedWhileTheWindowTicksOn)
{
    CWorkflowHarness harness;
    CFakeOpenCommand opener(harness.Scratch());
    opener.HoldUntilReleased();
    CRemovalRecorder store;
    // Only the wait for the start delivers ticks here.
    harness.Backend().SetTicksPerMessageBox(0);
    ASSERT_TRUE(harness.StartRecorder());
    harness.Backend().QueueAnswer(EMessageBoxResult::Yes);
    harness.Backend().QueueAnswer(EMessageBoxResult::Ok);
    harness.StartDownload(harness.DownloadDirectory(), true, false);
    ASSERT_TRUE(harness.RunUntilIdle());

    // No failure box, and a single question: the ticks during the wait found the tick running and
    // did not offer the setup again.
    EXPECT_EQ(harness.BoxTexts(),
              (std::vector<std::string>{Question(Varnox, EMessageBoxResult::Yes).text, Confirmation.text}));
    EXPECT_GT(harness.Dialog().NestedTicks(), 0) << "the window kept ticking during the wait";
    ASSERT_TRUE(opener.WaitForCalls(1));
    EXPECT_FALSE(opener.HasFinished()) << "the opener's end was not waited for";
    ASSERT_EQ(store.Removals().size(), 1u);
    EXPECT_EQ(store.Removals()[0].content, harness.VarnoxContent);
    harness.ExpectIdleEnd();
    // Ended before the scratch folder it writes into goes away.
    opener.Release();
    EXPECT_TRUE(opener.WaitUntilFinished());
}

TEST(SetupLaunchDirectory, AFolderChosenDuringTheDownloadBecomesTheSetupsWorkingDirectory)
{
    CWorkflowHarness harness;
    CFakeOpenCommand opener(harness.Scratch());
    CRecorderSimulator::Options options;
    options.throttleBytesPerSecond = 400 * 1024;
    ASSERT_TRUE(harness.StartRecorder(options));
    const std::string chosen = harness.Scratch().MakeDirectory("chosen later");
    harness.StartDownload(harness.DownloadDirectory(), true, false);
    ASSERT_TRUE(harness.RunUntil(
        [&] { return harness.Window().GetText(IDC_STATUS).find("varnoxsetup.exe: ") == 0; }));

    // The browse button stays usable while the download runs.
    harness.Backend().QueueFolderChoice(SFolderChoice{EFolderChoiceResult::Chosen, chosen});
    ASSERT_TRUE(harness.Window().Click(IDC_BROWSE));
    EXPECT_FALSE(harness.Dialog().IsIdle());
    harness.Backend().QueueAnswer(EMessageBoxResult::Yes);
    harness.Backend().QueueAnswer(EMessageBoxResult::Ok);
    ASSERT_TRUE(harness.RunUntilIdle());

    // The file keeps the path formed when the download began; only the working directory moved.
    ASSERT_TRUE(opener.WaitForCalls(1));
    EXPECT_EQ(opener.Calls()[0].document, harness.DownloadDirectory() + "/varnoxsetup.exe");
    EXPECT_EQ(opener.Calls()[0].workingDirectory, chosen);
    EXPECT_EQ(harness.Window().GetText(IDC_TEMP_DIRECTORY), chosen);
    EXPECT_FALSE(FileExists(harness.DownloadDirectory() + "/varnoxsetup.exe"));
    harness.ExpectIdleEnd();
}

} // namespace
