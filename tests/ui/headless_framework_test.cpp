#include "ui/Dialog.h"
#include "ui/DialogWindow.h"
#include "ui/PaintContext.h"
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
constexpr int IdSecret = 12;
constexpr int IdOption = 13;
constexpr int IdApply = 14;
constexpr int IdMeter = 15;
constexpr int IdTestDialog = 500;

const SControlTemplate TestControls[] = {
    {IdLabel, EControlKind::Label, "Name", 4, 4, 40, 8, StyleNone},
    {IdName, EControlKind::Edit, "", 50, 4, 80, 12, StyleTabStop | StyleAutoHScroll},
    {IdSecret, EControlKind::Edit, "", 50, 20, 80, 12, StyleTabStop | StylePassword},
    {IdOption, EControlKind::CheckBox, "Option", 50, 36, 60, 10, StyleTabStop | StyleAutoCheck},
    {IdApply, EControlKind::PushButton, "Apply", 4, 60, 40, 14, StyleTabStop},
    {IdMeter, EControlKind::ProgressBar, "", 50, 50, 80, 8, StyleBorder},
    {IdOk, EControlKind::PushButton, "OK", 50, 60, 40, 14, StyleTabStop | StyleDefault},
    {IdCancel, EControlKind::PushButton, "Cancel", 95, 60, 40, 14, StyleTabStop},
};
const SDialogTemplate TestDialogs[] = {
    {IdTestDialog, "Test", 140, 80, "MS Sans Serif", 8, DialogStyleCaption | DialogStyleSystemMenu,
     TestControls, static_cast<int>(sizeof(TestControls) / sizeof(TestControls[0]))},
};
const SStringResource NoStrings[] = {{0, ""}};
const SIconResource NoIcons[] = {{0, nullptr, 0}};
const CResourceTable TestResources("Test Application", TestDialogs, NoStrings, NoIcons);

struct SCommand
{
    int id;
    ECommandCode code;
    bool operator==(const SCommand& other) const { return id == other.id && code == other.code; }
};

class CTestDialog : public CDialog
{
public:
    CTestDialog() : CDialog(TestResources, IdTestDialog) {}

    std::vector<SCommand> commands;
    std::vector<unsigned> ticks;
    int nestedTicks = 0;
    bool inTick = false;
    bool boxOnTick = false;
    bool initResult = true;
    int focusDuringInit = 0;
    CStatic* labelToBind = nullptr;

protected:
    bool OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (focusDuringInit != 0)
            GotoDlgCtrl(focusDuringInit);
        return initResult;
    }
    void DoDataExchange() override
    {
        if (labelToBind != nullptr)
            BindControl(IdLabel, *labelToBind);
    }
    bool OnCommand(int id, ECommandCode code) override
    {
        commands.push_back(SCommand{id, code});
        return CDialog::OnCommand(id, code);
    }
    void OnTimer(unsigned id) override
    {
        if (inTick)
        {
            ++nestedTicks;
            return;
        }
        inTick = true;
        ticks.push_back(id);
        if (boxOnTick)
            MessageBox("busy", EMessageBoxIcon::Exclamation, EMessageBoxButtons::Ok);
        inTick = false;
    }
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
    std::vector<std::string> TakeFailures()
    {
        std::vector<std::string> taken;
        taken.swap(failures);
        return taken;
    }

    CHeadlessBackend backend;
    std::vector<std::string> failures;
};

TEST_F(HeadlessFrameworkTest, ChildWindowsAreEnumeratedInTemplateOrderWithTheirClassNames)
{
    CTestDialog dialog;
    ASSERT_NE(backend.Open(dialog), nullptr);
    std::vector<std::string> classes;
    std::vector<std::string> texts;
    EXPECT_TRUE(dialog.EnumChildWindows(
        [&](int child)
        {
            classes.push_back(dialog.GetChildClassName(child));
            texts.push_back(dialog.GetChildText(child));
            return true;
        }));
    EXPECT_EQ(classes, (std::vector<std::string>{"STATIC", "EDIT", "EDIT", "BUTTON", "BUTTON",
                                                 "msctls_progress32", "BUTTON", "BUTTON"}));
    EXPECT_EQ(texts, (std::vector<std::string>{"Name", "", "", "Option", "Apply", "", "OK", "Cancel"}));

    int visited = 0;
    EXPECT_FALSE(dialog.EnumChildWindows([&](int) { return ++visited < 3; }));
    EXPECT_EQ(visited, 3) << "the enumeration stops when the visitor says so";
}

TEST_F(HeadlessFrameworkTest, FocusGoesToTheFirstTabStopUnlessInitialisationKeepsItsOwn)
{
    CTestDialog framework;
    CHeadlessDialogWindow* window = backend.Open(framework);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->GetFocusId(), IdName);

    CTestDialog ownFocus;
    ownFocus.initResult = false;
    ownFocus.focusDuringInit = IdOption;
    window = backend.Open(ownFocus);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->GetFocusId(), IdOption);
}

TEST_F(HeadlessFrameworkTest, AnEditReportsTheLossOfFocusOnlyWhenItHadIt)
{
    CTestDialog dialog;
    CHeadlessDialogWindow* window = backend.Open(dialog);
    ASSERT_NE(window, nullptr);
    dialog.commands.clear();

    EXPECT_TRUE(window->Type(IdSecret, "hidden"));
    EXPECT_EQ(dialog.GetDlgItemText(IdSecret), "hidden");
    EXPECT_EQ(dialog.commands, (std::vector<SCommand>{{IdName, ECommandCode::KillFocus}}));

    dialog.commands.clear();
    EXPECT_TRUE(window->MoveFocus(IdOption));
    EXPECT_TRUE(window->MoveFocus(IdApply));
    EXPECT_EQ(dialog.commands, (std::vector<SCommand>{{IdSecret, ECommandCode::KillFocus}}))
        << "check boxes and buttons report nothing";

    // Clicking a button takes the focus from the edit before the click is reported.
    window->MoveFocus(IdName);
    dialog.commands.clear();
    window->Click(IdApply);
    EXPECT_EQ(dialog.commands,
              (std::vector<SCommand>{{IdName, ECommandCode::KillFocus}, {IdApply, ECommandCode::Clicked}}));
}

TEST_F(HeadlessFrameworkTest, DisablingTheFocusedControlMovesTheFocusToTheNextEnabledTabStop)
{
    struct SCase
    {
        const char* name;
        int focus;
        std::vector<int> disabledFirst;
        int disabled;
        int focusAfter;
    };
    const SCase cases[] = {
        {"the next control in template order", IdApply, {}, IdApply, IdOk},
        {"disabled controls are passed over", IdName, {IdSecret}, IdName, IdOption},
        {"round from the last control to the first", IdCancel, {}, IdCancel, IdName},
        {"disabling another control leaves the focus alone", IdName, {}, IdOk, IdName},
        {"nowhere when no tab stop is left",
         IdCancel,
         {IdName, IdSecret, IdOption, IdApply, IdOk},
         IdCancel,
         0},
    };
    for (const SCase& c : cases)
    {
        CTestDialog dialog;
        CHeadlessDialogWindow* window = backend.Open(dialog);
        ASSERT_NE(window, nullptr);
        for (int id : c.disabledFirst)
            dialog.EnableDlgItem(id, false);
        ASSERT_TRUE(window->MoveFocus(c.focus)) << c.name;
        dialog.EnableDlgItem(c.disabled, false);
        EXPECT_EQ(window->GetFocusId(), c.focusAfter) << c.name;
    }

    // An edit that loses the focus this way reports it, as when the operator moves on.
    CTestDialog dialog;
    CHeadlessDialogWindow* window = backend.Open(dialog);
    ASSERT_NE(window, nullptr);
    dialog.commands.clear();
    dialog.EnableDlgItem(IdName, false);
    EXPECT_EQ(window->GetFocusId(), IdSecret);
    EXPECT_EQ(dialog.commands, (std::vector<SCommand>{{IdName, ECommandCode::KillFocus}}));

    // With the focus nowhere the keys still reach the dialog.
    window->SetFocusControl(-1);
    EXPECT_EQ(window->GetFocusId(), 0);
    window->PressEscape();
    EXPECT_TRUE(window->IsEnded());
    EXPECT_EQ(window->GetResult(), IdCancel);
}

TEST_F(HeadlessFrameworkTest, ClicksReachOnlyEnabledButtons)
{
    CTestDialog dialog;
    CHeadlessDialogWindow* window = backend.Open(dialog);
    ASSERT_NE(window, nullptr);
    dialog.commands.clear();

    auto clicks = [&dialog]()
    {
        int count = 0;
        for (const SCommand& command : dialog.commands)
            count += command.code == ECommandCode::Clicked ? 1 : 0;
        return count;
    };
    EXPECT_TRUE(window->Click(IdOption));
    EXPECT_TRUE(dialog.IsDlgButtonChecked(IdOption)) << "an automatic check box toggles itself";
    EXPECT_TRUE(window->Click(IdOption));
    EXPECT_FALSE(dialog.IsDlgButtonChecked(IdOption));
    EXPECT_EQ(clicks(), 2);

    dialog.EnableDlgItem(IdOption, false);
    EXPECT_FALSE(window->Click(IdOption));
    EXPECT_FALSE(dialog.IsDlgButtonChecked(IdOption));
    EXPECT_FALSE(window->Click(IdLabel)) << "labels do not report clicks";
    EXPECT_FALSE(window->Type(IdOption, "text")) << "only edit fields take typing";
    EXPECT_EQ(clicks(), 2);

    EXPECT_FALSE(window->Click(999));
    EXPECT_EQ(TakeFailures().size(), 1u) << "an unknown id is a failure of the test script";
}

TEST_F(HeadlessFrameworkTest, KeysAndTheCloseBoxEndTheModalRun)
{
    struct SCase
    {
        const char* name;
        int focus;
        CHeadlessBackend::ScriptStep action;
        int result;
    };
    const SCase cases[] = {
        {"Escape", IdName, [](CHeadlessDialogWindow& w) { w.PressEscape(); }, IdCancel},
        {"close box", IdName, [](CHeadlessDialogWindow& w) { w.PressClose(); }, IdCancel},
        {"Enter in an edit presses the default button", IdSecret,
         [](CHeadlessDialogWindow& w) { w.PressEnter(); }, IdOk},
        {"Enter on a check box presses the default button", IdOption,
         [](CHeadlessDialogWindow& w) { w.PressEnter(); }, IdOk},
        {"cancel button", IdName, [](CHeadlessDialogWindow& w) { w.Click(IdCancel); }, IdCancel},
    };
    for (const SCase& c : cases)
    {
        CTestDialog dialog;
        const int focus = c.focus;
        backend.AddStep([focus](CHeadlessDialogWindow& w) { w.MoveFocus(focus); });
        backend.AddStep(c.action);
        EXPECT_EQ(dialog.DoModal(), c.result) << c.name;
        EXPECT_EQ(dialog.GetWindow(), nullptr) << c.name << ": the window is gone after the modal run";
        EXPECT_EQ(backend.GetPendingStepCount(), 0u) << c.name;
    }
}

TEST_F(HeadlessFrameworkTest, EnterOnAFocusedPushButtonPressesThatButton)
{
    CTestDialog dialog;
    backend.AddStep(
        [&dialog](CHeadlessDialogWindow& w)
        {
            w.MoveFocus(IdApply);
            dialog.commands.clear();
            w.PressEnter();
            EXPECT_FALSE(w.IsEnded());
            w.PressEscape();
        });
    EXPECT_EQ(dialog.DoModal(), IdCancel);
    EXPECT_EQ(dialog.commands,
              (std::vector<SCommand>{{IdApply, ECommandCode::Clicked}, {IdCancel, ECommandCode::Clicked}}));
}

TEST_F(HeadlessFrameworkTest, AModalRunWithoutScriptFailsInsteadOfHanging)
{
    CTestDialog dialog;
    backend.AddStep([](CHeadlessDialogWindow& w) { w.MoveFocus(IdSecret); });
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(TakeFailures().size(), 1u);
}

TEST_F(HeadlessFrameworkTest, MessageBoxesAreRecordedAndAnsweredFromTheScript)
{
    CTestDialog dialog;
    ASSERT_NE(backend.Open(dialog), nullptr);
    backend.QueueAnswer(EMessageBoxResult::Cancel);
    backend.QueueAnswer(EMessageBoxResult::Yes);
    EXPECT_EQ(dialog.MessageBox("first", EMessageBoxIcon::Question, EMessageBoxButtons::OkCancel),
              EMessageBoxResult::Cancel);
    EXPECT_EQ(dialog.MessageBox("second", EMessageBoxIcon::Stop, EMessageBoxButtons::YesNo),
              EMessageBoxResult::Yes);

    const std::vector<SMessageBoxRecord>& boxes = backend.GetMessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "first");
    EXPECT_EQ(boxes[0].title, "Test Application");
    EXPECT_EQ(boxes[0].icon, EMessageBoxIcon::Question);
    EXPECT_EQ(boxes[0].buttons, EMessageBoxButtons::OkCancel);
    EXPECT_EQ(boxes[0].answer, EMessageBoxResult::Cancel);
    EXPECT_EQ(boxes[1].icon, EMessageBoxIcon::Stop);
    EXPECT_EQ(boxes[1].answer, EMessageBoxResult::Yes);
}

TEST_F(HeadlessFrameworkTest, AMessageBoxWithoutAFittingAnswerFailsAndTakesTheCautiousButton)
{
    CTestDialog dialog;
    ASSERT_NE(backend.Open(dialog), nullptr);
    EXPECT_EQ(dialog.MessageBox("unscripted", EMessageBoxIcon::Question, EMessageBoxButtons::YesNo),
              EMessageBoxResult::No);
    EXPECT_EQ(TakeFailures().size(), 1u);

    backend.QueueAnswer(EMessageBoxResult::Yes);
    EXPECT_EQ(dialog.MessageBox("wrong button", EMessageBoxIcon::None, EMessageBoxButtons::OkCancel),
              EMessageBoxResult::Cancel);
    EXPECT_EQ(TakeFailures().size(), 1u);
    EXPECT_EQ(backend.GetMessageBoxes().size(), 2u);
}

TEST_F(HeadlessFrameworkTest, TimerTicksReachTheDialogWhileAMessageBoxIsOpen)
{
    CTestDialog dialog;
    ASSERT_NE(backend.Open(dialog), nullptr);
    EXPECT_NE(dialog.SetTimer(7, 10), 0u);
    dialog.boxOnTick = true;
    backend.SetTicksPerMessageBox(3);
    backend.QueueAnswer(EMessageBoxResult::Ok);

    EXPECT_EQ(backend.WindowOf(dialog)->Tick(), 1);
    EXPECT_EQ(dialog.ticks, (std::vector<unsigned>{7}));
    EXPECT_EQ(dialog.nestedTicks, 3) << "each round of the box's own loop delivers a tick";
    EXPECT_EQ(backend.GetMessageBoxes().size(), 1u) << "the guard kept the nested ticks from opening boxes";
}

TEST_F(HeadlessFrameworkTest, AWaitTicksTheWindowsUntilItsConditionEndsOrItsTimeRunsOut)
{
    CTestDialog dialog;
    ASSERT_NE(backend.Open(dialog), nullptr);
    EXPECT_NE(dialog.SetTimer(7, 10), 0u);

    dialog.WaitWhile([&dialog] { return dialog.ticks.size() < 3; }, 10000);
    EXPECT_EQ(dialog.ticks.size(), 3u) << "the wait ended with its condition";

    dialog.WaitWhile([] { return false; }, 10000);
    EXPECT_EQ(dialog.ticks.size(), 3u) << "nothing to wait for: no tick";

    // A condition that never ends: the time limit does, and the windows ticked meanwhile.
    dialog.WaitWhile([] { return true; }, 50);
    EXPECT_GT(dialog.ticks.size(), 3u);
}

TEST_F(HeadlessFrameworkTest, KilledTimersStopTicking)
{
    CTestDialog dialog;
    CHeadlessDialogWindow* window = backend.Open(dialog);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Tick(), 0);
    EXPECT_NE(dialog.SetTimer(0, 10), 0u) << "timer id 0 still reports success";
    EXPECT_NE(dialog.SetTimer(3, 250), 0u);
    EXPECT_EQ(window->GetTimerInterval(3), 250u);
    EXPECT_EQ(window->Tick(), 2);
    EXPECT_TRUE(dialog.KillTimer(0));
    EXPECT_FALSE(dialog.KillTimer(0));
    EXPECT_EQ(window->Tick(), 1);
    EXPECT_EQ(dialog.ticks, (std::vector<unsigned>{0, 3, 3}));
}

TEST_F(HeadlessFrameworkTest, ProgressPositionStaysInsideTheRange)
{
    CTestDialog dialog;
    CHeadlessDialogWindow* window = backend.Open(dialog);
    ASSERT_NE(window, nullptr);
    dialog.SetProgressRange(IdMeter, 0, 100);
    const int positions[][2] = {{50, 50}, {-5, 0}, {100, 100}, {250, 100}};
    for (const auto& position : positions)
    {
        dialog.SetProgressPos(IdMeter, position[0]);
        EXPECT_EQ(window->GetProgressPosition(IdMeter), position[1]) << position[0];
    }
    dialog.SetProgressRange(IdMeter, 10, 20);
    EXPECT_EQ(window->GetProgressPosition(IdMeter), 20);
    EXPECT_EQ(window->GetProgressLower(IdMeter), 10);
    EXPECT_EQ(window->GetProgressUpper(IdMeter), 20);
}

TEST_F(HeadlessFrameworkTest, FolderChooserResultsComeFromTheScript)
{
    CTestDialog dialog;
    ASSERT_NE(backend.Open(dialog), nullptr);
    backend.QueueFolderChoice(SFolderChoice{EFolderChoiceResult::Chosen, "/srv/setups"});
    backend.QueueFolderChoice(SFolderChoice{EFolderChoiceResult::Unavailable, ""});
    const SFolderChoice chosen = dialog.ChooseFolder("Pick one");
    EXPECT_EQ(chosen.result, EFolderChoiceResult::Chosen);
    EXPECT_EQ(chosen.path, "/srv/setups");
    EXPECT_EQ(dialog.ChooseFolder("Again").result, EFolderChoiceResult::Unavailable);
    EXPECT_EQ(dialog.ChooseFolder("Unscripted").result, EFolderChoiceResult::Cancelled);
    EXPECT_EQ(TakeFailures().size(), 1u);
    EXPECT_EQ(backend.GetFolderChooserTitles(),
              (std::vector<std::string>{"Pick one", "Again", "Unscripted"}));
}

TEST_F(HeadlessFrameworkTest, SystemMenuChoicesMustExist)
{
    CTestDialog dialog;
    CHeadlessDialogWindow* window = backend.Open(dialog);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(dialog.HasSystemMenu());
    dialog.AppendSystemMenuSeparator();
    dialog.AppendSystemMenuItem(0x20, "Entry");
    dialog.AppendSystemMenuItem(0x30, "");
    ASSERT_EQ(window->GetSystemMenu().size(), 2u) << "an item without text is not added";
    EXPECT_EQ(window->GetSystemMenu()[0].id, 0u);
    EXPECT_FALSE(window->ChooseSystemMenuItem(0x30));
    EXPECT_EQ(TakeFailures().size(), 1u);
    EXPECT_TRUE(window->ChooseSystemMenuItem(0x20));
}

TEST_F(HeadlessFrameworkTest, ALabelThatGoesAwayBeforeItsWindowIsUnbound)
{
    CTestDialog dialog;
    auto label = std::make_unique<CStatic>();
    dialog.labelToBind = label.get();
    CHeadlessDialogWindow* window = backend.Open(dialog);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->IsSubclassed(IdLabel));
    EXPECT_EQ(label->GetWindowText(), "Name");
    EXPECT_EQ(label->GetDlgCtrlID(), IdLabel);

    std::vector<SPaintOperation> painted = window->Paint();
    int labelOperations = 0;
    for (const SPaintOperation& operation : painted)
        labelOperations += operation.controlId == IdLabel ? 1 : 0;
    EXPECT_EQ(labelOperations, 2) << "a plain label fills its face colour and draws its text";

    label.reset();
    EXPECT_FALSE(window->IsSubclassed(IdLabel));
    painted = window->Paint();
    for (const SPaintOperation& operation : painted)
        EXPECT_NE(operation.controlId, IdLabel);
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
