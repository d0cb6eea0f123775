// What only the headless backend has: its scripting of the operator, message boxes and the folder
// chooser, its record of what was painted; and the framework without any backend. The rules every
// backend follows are in dialog_rules_test.cpp.
#include "ui/Dialog.h"
#include "ui/DialogWindow.h"
#include "ui/ResourceTable.h"
#include "ui/StandardIds.h"
#include "ui/Static.h"
#include "ui/headless/HeadlessBackend.h"
#include "ui/headless/HeadlessDialogWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{

constexpr int IdLabel = 10;
constexpr int IdName = 11;
constexpr int IdOption = 13;
constexpr int IdLogo = 16;
constexpr int IdTestDialog = 500;
constexpr int IdLogoIcon = 128;

const SControlTemplate TestControls[] = {
    {IdLabel, EControlKind::Label, "Name", 4, 4, 40, 8, StyleNone},
    {IdName, EControlKind::Edit, "", 50, 4, 80, 12, StyleTabStop | StyleAutoHScroll},
    {IdOption, EControlKind::CheckBox, "Option", 50, 36, 60, 10, StyleTabStop | StyleAutoCheck},
    {IdLogo, EControlKind::Icon, "128", 4, 20, 20, 20, StyleNone},
    {IdOk, EControlKind::PushButton, "OK", 50, 60, 40, 14, StyleTabStop | StyleDefault},
};
const SDialogTemplate TestDialogs[] = {
    {IdTestDialog, "Test", 140, 80, "MS Sans Serif", 8, DialogStyleCaption | DialogStyleSystemMenu,
     TestControls, static_cast<int>(std::size(TestControls))},
};
const SStringResource NoStrings[] = {{0, ""}};
const SIconResource Icons[] = {{IdLogoIcon, nullptr, 0}};
const CResourceTable TestResources("Test Application", TestDialogs, NoStrings, Icons);

class CTestDialog : public CDialog
{
public:
    CTestDialog() : CDialog(TestResources, IdTestDialog) {}

    std::vector<unsigned> ticks;
    CStatic* labelToBind = nullptr;

protected:
    void DoDataExchange() override
    {
        if (labelToBind != nullptr)
            BindControl(IdLabel, *labelToBind);
    }
    void OnTimer(unsigned id) override { ticks.push_back(id); }
};

class HeadlessFrameworkTest : public ::testing::Test
{
protected:
    HeadlessFrameworkTest()
    {
        backend.SetFailureHandler([this](const std::string& message) { failures.push_back(message); });
    }
    // Failures that a test did not take for itself are failures of the test.
    ~HeadlessFrameworkTest() override
    {
        for (const std::string& failure : failures)
            ADD_FAILURE() << failure;
    }
    size_t TakeFailures()
    {
        const size_t count = failures.size();
        failures.clear();
        return count;
    }

    CHeadlessBackend backend;
    std::vector<std::string> failures;
    CTestDialog dialog;
};

TEST_F(HeadlessFrameworkTest, OperatorActionsThatCannotHappenDeliverNothingAndUnknownIdsOrChoicesFail)
{
    CHeadlessDialogWindow* window = backend.Open(dialog);
    ASSERT_NE(window, nullptr);
    dialog.EnableDlgItem(IdOption, false);
    EXPECT_FALSE(window->Click(IdOption)) << "disabled";
    EXPECT_FALSE(window->Click(IdLabel)) << "labels do not report clicks";
    EXPECT_FALSE(window->Type(IdOk, "text")) << "only edit fields take typing";
    EXPECT_FALSE(window->MoveFocus(IdOption));
    EXPECT_EQ(TakeFailures(), 0u);
    EXPECT_FALSE(window->Click(999));
    EXPECT_EQ(TakeFailures(), 1u) << "an unknown id is a failure of the test script";

    int visited = 0;
    EXPECT_FALSE(dialog.EnumChildWindows([&](int) { return ++visited < 3; }));
    EXPECT_EQ(visited, 3) << "the enumeration stops when the visitor says so";

    EXPECT_TRUE(dialog.HasSystemMenu());
    dialog.AppendSystemMenuSeparator();
    dialog.AppendSystemMenuItem(0x20, "Entry");
    dialog.AppendSystemMenuItem(0x30, "");
    ASSERT_EQ(window->GetSystemMenu().size(), 2u) << "an item without text is not added";
    EXPECT_EQ(window->GetSystemMenu()[0].id, 0u);
    EXPECT_FALSE(window->ChooseSystemMenuItem(0x30));
    EXPECT_EQ(TakeFailures(), 1u);
    EXPECT_TRUE(window->ChooseSystemMenuItem(0x20));
}

TEST_F(HeadlessFrameworkTest, AModalRunEndsWithItsWindowAndFailsWhenTheScriptRunsOut)
{
    backend.AddStep([](CHeadlessDialogWindow& w) { w.PressEnter(); });
    EXPECT_EQ(dialog.DoModal(), IdOk);
    EXPECT_EQ(dialog.GetWindow(), nullptr);
    EXPECT_EQ(backend.GetPendingStepCount(), 0u);

    backend.AddStep([](CHeadlessDialogWindow& w) { w.MoveFocus(IdOption); });
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(TakeFailures(), 1u);
}

// Boxes and choosers are recorded and answered from the script; one without a fitting answer is a
// failure and takes its cautious answer.
TEST_F(HeadlessFrameworkTest, MessageBoxesAndFolderChoosersAreAnsweredFromTheScript)
{
    ASSERT_NE(backend.Open(dialog), nullptr);
    backend.QueueAnswer(EMessageBoxResult::Yes);
    EXPECT_EQ(dialog.MessageBox("first", EMessageBoxIcon::Stop, EMessageBoxButtons::YesNo),
              EMessageBoxResult::Yes);
    EXPECT_EQ(dialog.MessageBox("unscripted", EMessageBoxIcon::Question, EMessageBoxButtons::YesNo),
              EMessageBoxResult::No);
    EXPECT_EQ(TakeFailures(), 1u);
    backend.QueueAnswer(EMessageBoxResult::Yes);
    EXPECT_EQ(dialog.MessageBox("wrong button", EMessageBoxIcon::Question, EMessageBoxButtons::OkCancel),
              EMessageBoxResult::Cancel);
    EXPECT_EQ(TakeFailures(), 1u);
    const std::vector<SMessageBoxRecord>& boxes = backend.GetMessageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, "first");
    EXPECT_EQ(boxes[0].title, "Test Application");
    EXPECT_EQ(boxes[0].icon, EMessageBoxIcon::Stop);
    EXPECT_EQ(boxes[0].buttons, EMessageBoxButtons::YesNo);
    EXPECT_EQ(boxes[0].answer, EMessageBoxResult::Yes);
    EXPECT_EQ(boxes[2].icon, EMessageBoxIcon::Question);
    EXPECT_EQ(boxes[2].answer, EMessageBoxResult::Cancel);

    backend.QueueFolderChoice(SFolderChoice{EFolderChoiceResult::Chosen, "/srv/setups"});
    backend.QueueFolderChoice(SFolderChoice{EFolderChoiceResult::Unavailable, ""});
    const SFolderChoice chosen = dialog.ChooseFolder("Pick one");
    EXPECT_EQ(chosen.result, EFolderChoiceResult::Chosen);
    EXPECT_EQ(chosen.path, "/srv/setups");
    EXPECT_EQ(dialog.ChooseFolder("Again").result, EFolderChoiceResult::Unavailable);
    EXPECT_EQ(dialog.ChooseFolder("Unscripted").result, EFolderChoiceResult::Cancelled);
    EXPECT_EQ(TakeFailures(), 1u);
    EXPECT_EQ(backend.GetFolderChooserTitles(),
              (std::vector<std::string>{"Pick one", "Again", "Unscripted"}));
}

TEST_F(HeadlessFrameworkTest, TicksGoToRunningTimersInIdOrderWithTheirIntervals)
{
    CHeadlessDialogWindow* window = backend.Open(dialog);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Tick(), 0);
    dialog.SetTimer(3, 250);
    dialog.SetTimer(0, 10);
    EXPECT_EQ(window->GetTimerInterval(3), 250u);
    EXPECT_EQ(window->Tick(), 2);
    dialog.KillTimer(0);
    EXPECT_EQ(window->GetTimerInterval(0), 0u);
    EXPECT_EQ(window->Tick(), 1);
    EXPECT_EQ(dialog.ticks, (std::vector<unsigned>{0, 3, 3}));
}

TEST_F(HeadlessFrameworkTest, TheFaceFillsWhatTheDialogDoesNotEraseAndAGoneLabelIsNoLongerPainted)
{
    auto label = std::make_unique<CStatic>();
    dialog.labelToBind = label.get();
    CHeadlessDialogWindow* window = backend.Open(dialog);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->IsSubclassed(IdLabel));
    EXPECT_EQ(label->GetDlgCtrlID(), IdLabel);

    std::vector<SPaintOperation> painted = window->Paint();
    ASSERT_FALSE(painted.empty());
    EXPECT_EQ(painted[0].kind, SPaintOperation::EKind::FillRect);
    EXPECT_EQ(painted[0].controlId, 0);
    EXPECT_EQ(painted[0].colour, backend.GetSystemColour(ESystemColour::ButtonFace));
    int labelOperations = 0;
    for (const SPaintOperation& operation : painted)
        labelOperations += operation.controlId == IdLabel ? 1 : 0;
    EXPECT_EQ(labelOperations, 2) << "a plain label fills its face colour and draws its text";

    label.reset();
    EXPECT_FALSE(window->IsSubclassed(IdLabel));
    EXPECT_EQ(dialog.GetDlgItemText(IdLabel), "Name");
    for (const SPaintOperation& operation : window->Paint())
        EXPECT_NE(operation.controlId, IdLabel);
}

TEST_F(HeadlessFrameworkTest, AnIconControlShowsTheIconItsTemplateTextNames)
{
    CHeadlessDialogWindow* window = backend.Open(dialog);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->GetControlIcon(window->FindControl(IdLogo)), &Icons[0]);
    EXPECT_EQ(window->GetControlIcon(window->FindControl(IdName)), nullptr);
    EXPECT_EQ(dialog.GetDlgItemText(IdLogo), "") << "an icon has no text";
}

TEST(HeadlessFrameworkWithoutBackendTest, NothingCanBeShown)
{
    ASSERT_EQ(CUiBackend::Current(), nullptr);
    CTestDialog dialog;
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_FALSE(dialog.Create());
    EXPECT_EQ(dialog.MessageBox("text", EMessageBoxIcon::None, EMessageBoxButtons::Ok),
              EMessageBoxResult::None);
    EXPECT_EQ(dialog.ChooseFolder("title").result, EFolderChoiceResult::Unavailable);
    // Control operations without a window are harmless.
    dialog.SetDlgItemText(IdName, "ignored");
    EXPECT_EQ(dialog.GetDlgItemText(IdName), "");
    EXPECT_EQ(dialog.GetFocusId(), 0);
}

TEST(HeadlessFrameworkWithoutBackendTest, UnknownTemplatesCannotBeShown)
{
    CHeadlessBackend backend;
    CDialog dialog(TestResources, 4242);
    EXPECT_EQ(dialog.DoModal(), -1);
}

} // namespace
