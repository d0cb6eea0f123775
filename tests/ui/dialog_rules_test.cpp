// The rules every window backend follows, stated once; each backend's test program runs them
// (headless in process, wx on a virtual display, win32 under Wine) through its CDialogRulesBackend.
#include "DialogRulesBackend.h"
#include "ui/Dialog.h"
#include "ui/DialogWindow.h"
#include "ui/ResourceTable.h"
#include "ui/StandardIds.h"
#include "ui/Static.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace
{

using EKey = CDialogRulesBackend::EKey;
using Step = CDialogRulesBackend::Step;

constexpr int IdLabel = 10;
constexpr int IdName = 11;
constexpr int IdSecret = 12;
constexpr int IdOption = 13;
constexpr int IdApply = 14;
constexpr int IdMeter = 15;
constexpr int IdRulesDialog = 500;
constexpr int IdBareDialog = 501;
const int TabStops[] = {IdName, IdSecret, IdOption, IdApply, IdOk, IdCancel};

// Apply is the default button, so that Enter on it and on IdOk, the fallback, can be told apart.
const SControlTemplate RulesControls[] = {
    {IdLabel, EControlKind::Label, "Name", 4, 4, 40, 8, StyleNone},
    {IdName, EControlKind::Edit, "", 50, 4, 80, 12, StyleTabStop | StyleAutoHScroll},
    {IdSecret, EControlKind::Edit, "", 50, 20, 80, 12, StyleTabStop | StylePassword},
    {IdOption, EControlKind::CheckBox, "Option", 50, 36, 60, 10, StyleTabStop | StyleAutoCheck},
    {IdApply, EControlKind::PushButton, "Apply", 4, 60, 40, 14, StyleTabStop | StyleDefault},
    {IdMeter, EControlKind::ProgressBar, "", 50, 50, 80, 8, StyleBorder},
    {IdOk, EControlKind::PushButton, "OK", 50, 60, 40, 14, StyleTabStop},
    {IdCancel, EControlKind::PushButton, "Cancel", 95, 60, 40, 14, StyleTabStop},
};
const SDialogTemplate RulesDialogs[] = {
    {IdRulesDialog, "Rules", 140, 80, "MS Sans Serif", 8, DialogStyleCaption | DialogStyleSystemMenu,
     RulesControls, 8},
    // Without buttons: Enter has no default button.
    {IdBareDialog, "Bare", 140, 80, "MS Sans Serif", 8, DialogStyleCaption, RulesControls, 4},
};
const SStringResource NoStrings[] = {{0, ""}};
const SIconResource NoIcons[] = {{0, nullptr, 0}};
const CResourceTable RulesResources("Test Application", RulesDialogs, NoStrings, NoIcons);

struct SCommand
{
    int id;
    ECommandCode code;
    bool operator==(const SCommand& other) const { return id == other.id && code == other.code; }
};

void PrintTo(const SCommand& command, std::ostream* out)
{
    *out << (command.code == ECommandCode::Clicked ? "click " : "focus lost ") << command.id;
}

// Notes what reaches it; the tests hook in where a rule needs it.
class CRulesDialog : public CDialog
{
public:
    explicit CRulesDialog(int templateId = IdRulesDialog) : CDialog(RulesResources, templateId) {}

    std::vector<SCommand> commands;
    std::vector<std::string> painted;
    std::function<bool()> init;
    std::function<void(unsigned)> tick;
    std::function<void(int)> clicked;

    bool Has(ECommandCode code, int id) const
    {
        return std::find(commands.begin(), commands.end(), SCommand{id, code}) != commands.end();
    }
    std::vector<int> Clicks() const
    {
        std::vector<int> ids;
        for (const SCommand& command : commands)
        {
            if (command.code == ECommandCode::Clicked)
                ids.push_back(command.id);
        }
        return ids;
    }
    Step Focused(int id, std::function<void()> action) const
    {
        return [this, id, action]() { return GetFocusId() == id && (action(), true); };
    }
    Step End()
    {
        return [this]() { return EndDialog(IdOk), true; };
    }
    using CDialog::BindControl;

protected:
    bool OnInitDialog() override { return CDialog::OnInitDialog() && (!init || init()); }
    bool OnCommand(int id, ECommandCode code) override
    {
        commands.push_back(SCommand{id, code});
        if (clicked && code == ECommandCode::Clicked)
            clicked(id);
        return CDialog::OnCommand(id, code);
    }
    void OnTimer(unsigned id) override
    {
        if (tick)
            tick(id);
    }
    bool OnEraseBkgnd(CPaintContext&) override { return painted.push_back("dialog erase"), false; }
    void OnPaint(CPaintContext&) override { painted.push_back("dialog paint"); }
};

class CNotingLabel : public CStatic
{
public:
    explicit CNotingLabel(std::vector<std::string>& painted) : m_painted(painted) {}

protected:
    bool OnEraseBkgnd(CPaintContext& dc) override
    {
        return m_painted.push_back("label erase"), CStatic::OnEraseBkgnd(dc);
    }
    void OnPaint(CPaintContext& dc) override
    {
        m_painted.push_back("label paint");
        CStatic::OnPaint(dc);
    }

private:
    std::vector<std::string>& m_painted;
};

Step Do(std::function<void()> action)
{
    return [action]() { return action(), true; };
}

Step When(std::function<bool()> condition, std::function<void()> action)
{
    return [condition, action]() { return condition() && (action(), true); };
}

TEST_P(DialogRules, ControlsAreListedInTemplateOrderWithTheirClassesAndTexts)
{
    const auto backend = GetParam().make();
    CRulesDialog dialog;
    std::vector<std::string> seen;
    const auto list = [&]()
    {
        dialog.EnumChildWindows(
            [&](int child)
            {
                seen.push_back(dialog.GetChildClassName(child) + ":" + dialog.GetChildText(child));
                return true;
            });
    };
    EXPECT_EQ(backend->RunModal(dialog, {Do(list), dialog.End()}), IdOk);
    EXPECT_EQ(seen,
              (std::vector<std::string>{"STATIC:Name", "EDIT:", "EDIT:", "BUTTON:Option", "BUTTON:Apply",
                                        "msctls_progress32:", "BUTTON:OK", "BUTTON:Cancel"}));
}

TEST_P(DialogRules, TheFirstEnabledTabStopTakesTheFocusUnlessTheInitialisationChoseOne)
{
    const auto backend = GetParam().make();
    for (const bool ownChoice : {false, true})
    {
        CRulesDialog dialog;
        dialog.init = [&dialog, ownChoice]()
        {
            dialog.EnableDlgItem(IdName, false);
            if (ownChoice)
                dialog.GotoDlgCtrl(IdOption);
            return !ownChoice;
        };
        EXPECT_EQ(
            backend->RunModal(dialog, {dialog.Focused(ownChoice ? IdOption : IdSecret, [] {}), dialog.End()}),
            IdOk);
    }
}

TEST_P(DialogRules, DisablingTheFocusedControlMovesTheFocusOnOrNowhereWhereTheKeysStillArrive)
{
    const auto backend = GetParam().make();
    struct SCase
    {
        int focus;
        std::vector<int> disabledFirst;
        int disabled;
        int focusAfter; // 0: nowhere
    };
    const SCase cases[] = {
        {IdApply, {}, IdApply, IdOk},                                         // the next tab stop
        {IdName, {}, IdOk, IdName},                                           // another control
        {IdName, {IdSecret}, IdName, IdOption},                               // disabled ones passed over
        {IdCancel, {}, IdCancel, IdName},                                     // round to the first
        {IdCancel, {IdName, IdSecret, IdOption, IdApply, IdOk}, IdCancel, 0}, // none left
    };
    CRulesDialog dialog;
    const auto enableAllBut = [&dialog](const std::vector<int>& disabled)
    {
        for (int id : TabStops)
            dialog.EnableDlgItem(id, std::find(disabled.begin(), disabled.end(), id) == disabled.end());
    };
    std::vector<int> reached;
    std::vector<Step> steps;
    for (const SCase& c : cases)
    {
        steps.push_back(Do([&, c]() { enableAllBut(c.disabledFirst), dialog.GotoDlgCtrl(c.focus); }));
        steps.push_back(dialog.Focused(c.focus, [&dialog, c]() { dialog.EnableDlgItem(c.disabled, false); }));
        steps.push_back(dialog.Focused(c.focusAfter, [&reached, c]() { reached.push_back(c.focusAfter); }));
    }
    // The focus stays nowhere when the controls come back; Escape reaches the dialog.
    steps.push_back(Do([&]() { enableAllBut({}), backend->Press(EKey::Escape); }));
    EXPECT_EQ(backend->RunModal(dialog, steps), IdCancel);
    EXPECT_EQ(reached, (std::vector<int>{IdOk, IdName, IdOption, IdName, 0}));
    EXPECT_TRUE(dialog.Has(ECommandCode::KillFocus, IdName))
        << "an edit losing the focus this way reports it";

    // So does Enter, which without a default button is IdOk.
    CRulesDialog bare(IdBareDialog);
    const auto disableAll = [&bare]()
    {
        for (int id : {IdSecret, IdOption, IdName})
            bare.EnableDlgItem(id, false);
    };
    EXPECT_EQ(backend->RunModal(bare, {bare.Focused(IdName, disableAll),
                                       bare.Focused(0, [&]() { backend->Press(EKey::Enter); })}),
              IdOk);
}

TEST_P(DialogRules, EnterGoesToTheFocusedPushButtonElseToTheDefaultAndEscapeAndTheCloseBoxCancel)
{
    const auto backend = GetParam().make();
    CRulesDialog dialog;
    const auto enterOn = [&](int focus, size_t clicksBefore)
    {
        return When([&dialog, clicksBefore]() { return dialog.Clicks().size() >= clicksBefore; },
                    [&dialog, focus]() { dialog.GotoDlgCtrl(focus); });
    };
    const auto enter = [&]() { backend->Press(EKey::Enter); };
    // In an edit, also a password field, and on a check box Enter presses the default button; on a
    // push button, that one.
    EXPECT_EQ(backend->RunModal(dialog, {enterOn(IdName, 0), dialog.Focused(IdName, enter),
                                         enterOn(IdSecret, 1), dialog.Focused(IdSecret, enter),
                                         enterOn(IdOption, 2), dialog.Focused(IdOption, enter),
                                         enterOn(IdOk, 3), dialog.Focused(IdOk, enter)}),
              IdOk);
    EXPECT_EQ(dialog.Clicks(), (std::vector<int>{IdApply, IdApply, IdApply, IdOk}));

    // Escape, the close box and the Cancel button.
    for (int way = 0; way < 3; ++way)
    {
        CRulesDialog cancelled;
        const auto cancel = [&]()
        {
            if (way == 0)
                backend->Press(EKey::Escape);
            else if (way == 1)
                backend->PressCloseBox(cancelled);
            else
                backend->Click(cancelled, IdCancel);
        };
        EXPECT_EQ(backend->RunModal(cancelled, {cancelled.Focused(IdName, cancel)}), IdCancel);
        // Leaving the field as the dialog closes is not the operator's doing.
        const std::vector<SCommand> expected{{IdName, ECommandCode::KillFocus},
                                             {IdCancel, ECommandCode::Clicked}};
        EXPECT_EQ(cancelled.commands,
                  std::vector<SCommand>(expected.begin() + (way < 2 ? 1 : 0), expected.end()))
            << way;
        EXPECT_EQ(cancelled.GetWindow(), nullptr);
    }
}

TEST_P(DialogRules, AnEditReportsTheLossOfTheFocusAndAClickTakesTheFocusFirst)
{
    const auto backend = GetParam().make();
    CRulesDialog dialog;
    const auto typed = [&]()
    { return dialog.GetDlgItemText(IdSecret) == "hidden" && dialog.Has(ECommandCode::KillFocus, IdName); };
    // Check boxes and buttons report nothing.
    const int result = backend->RunModal(
        dialog, {dialog.Focused(IdName, [&]() { backend->Type(dialog, IdSecret, "hidden"); }),
                 When(typed, [&]() { dialog.GotoDlgCtrl(IdOption); }),
                 dialog.Focused(IdOption, [&]() { dialog.GotoDlgCtrl(IdApply); }),
                 dialog.Focused(IdApply, [&]() { dialog.GotoDlgCtrl(IdName); }),
                 dialog.Focused(IdName, [&]() { backend->Click(dialog, IdApply); }),
                 When([&]() { return dialog.Has(ECommandCode::Clicked, IdApply); }, [] {}), dialog.End()});
    EXPECT_EQ(result, IdOk);
    EXPECT_EQ(dialog.commands, (std::vector<SCommand>{{IdName, ECommandCode::KillFocus},
                                                      {IdSecret, ECommandCode::KillFocus},
                                                      {IdName, ECommandCode::KillFocus},
                                                      {IdApply, ECommandCode::Clicked}}));
}

TEST_P(DialogRules, ClicksReachOnlyEnabledButtonsAndCheckBoxesTickThemselves)
{
    const auto backend = GetParam().make();
    CRulesDialog dialog;
    std::vector<bool> checked;
    const auto clickOptionAfter = [&](size_t clicks)
    {
        return When([&dialog, clicks]() { return dialog.Clicks().size() >= clicks; },
                    [&dialog, &backend, &checked, clicks]()
                    {
                        checked.push_back(dialog.IsDlgButtonChecked(IdOption));
                        dialog.EnableDlgItem(IdOption, clicks < 2);
                        backend->Click(dialog, IdOption);
                    });
    };
    const auto clickLabelAndApply = [&]()
    { backend->Click(dialog, IdLabel), backend->Click(dialog, IdApply); };
    // Apply disables itself when clicked, as a download's start does: the focus goes on.
    dialog.clicked = [&dialog](int id) { dialog.EnableDlgItem(IdApply, id != IdApply); };
    EXPECT_EQ(backend->RunModal(dialog, {clickOptionAfter(0), clickOptionAfter(1), clickOptionAfter(2),
                                         Do(clickLabelAndApply), dialog.Focused(IdOk, [] {}), dialog.End()}),
              IdOk);
    EXPECT_EQ(checked, (std::vector<bool>{false, true, false}));
    EXPECT_FALSE(dialog.IsDlgButtonChecked(IdOption));
    EXPECT_EQ(dialog.Clicks(), (std::vector<int>{IdOption, IdOption, IdApply}))
        << "neither the disabled check box nor the label reported a click";
}

TEST_P(DialogRules, TheProgressPositionStaysInsideTheRangeAndAReversedRangeIsRefused)
{
    const auto backend = GetParam().make();
    CRulesDialog dialog;
    std::vector<int> shown;
    const auto show = [&](int lower, int upper, int position)
    {
        dialog.SetProgressRange(IdMeter, lower, upper);
        dialog.SetProgressPos(IdMeter, position);
        shown.push_back(backend->ShownPercent(dialog, IdMeter));
    };
    // The last range (30, 25) is refused: 12 within 10 to 20; a narrower range takes the position in.
    const int ranges[][3] = {{0, 100, 50}, {0, 100, -5}, {0, 100, 250},
                             {0, 200, 50}, {10, 20, 15}, {30, 25, 12}};
    const auto showAll = [&]()
    {
        for (const auto& range : ranges)
            show(range[0], range[1], range[2]);
        dialog.SetProgressRange(IdMeter, 0, 10);
        shown.push_back(backend->ShownPercent(dialog, IdMeter));
    };
    EXPECT_EQ(backend->RunModal(dialog, {Do(showAll), dialog.End()}), IdOk);
    EXPECT_EQ(shown, (std::vector<int>{50, 0, 100, 25, 50, 20, 100}));
}

TEST_P(DialogRules, TimersTickUntilTheyAreKilled)
{
    const auto backend = GetParam().make();
    CRulesDialog dialog;
    std::vector<unsigned> ticks;
    dialog.tick = [&ticks](unsigned id) { ticks.push_back(id); };
    const auto ticksOf = [&ticks](unsigned id, size_t from)
    { return std::count(ticks.begin() + static_cast<std::ptrdiff_t>(from), ticks.end(), id); };
    size_t killedAt = 0;
    bool killed = false;
    bool killedAgain = true;
    const auto start = [&]()
    { EXPECT_NE(dialog.SetTimer(0, 10) * dialog.SetTimer(3, 10), 0u) << "id 0 counts too"; };
    const auto kill = [&]()
    { killed = dialog.KillTimer(0), killedAgain = dialog.KillTimer(0), killedAt = ticks.size(); };
    EXPECT_EQ(backend->RunModal(
                  dialog, {Do(start), When([&]() { return ticksOf(0, 0) > 0 && ticksOf(3, 0) > 0; }, kill),
                           When([&]() { return ticksOf(3, killedAt) >= 3; }, [] {}), dialog.End()}),
              IdOk);
    EXPECT_TRUE(killed);
    EXPECT_FALSE(killedAgain);
    EXPECT_EQ(ticksOf(0, killedAt), 0);
}

// A message box opened from a tick runs a loop of its own, which goes on delivering ticks; the
// dialog's guard keeps them from opening boxes of their own.
TEST_P(DialogRules, TicksGoOnWhileAMessageBoxIsOpen)
{
    const auto backend = GetParam().make();
    CRulesDialog dialog;
    bool inTick = false;
    bool answered = false;
    int boxes = 0;
    int nestedTicks = 0;
    EMessageBoxResult answer = EMessageBoxResult::None;
    dialog.tick = [&](unsigned)
    {
        if (inTick)
        {
            answered = answered || (++nestedTicks >= 20 && backend->AnswerMessageBox(dialog));
            return;
        }
        inTick = true;
        ++boxes;
        answer = dialog.MessageBox("Ticks keep coming", EMessageBoxIcon::Exclamation, EMessageBoxButtons::Ok);
        dialog.EndDialog(IdOk);
    };
    EXPECT_EQ(backend->RunModal(dialog, {Do([&]() { dialog.SetTimer(1, 10); })}), IdOk);
    EXPECT_EQ(boxes, 1);
    EXPECT_GE(nestedTicks, 20);
    EXPECT_EQ(answer, EMessageBoxResult::Ok);
}

// During a wait the window ticks and repaints, while what the operator does waits until afterwards.
TEST_P(DialogRules, AWaitTicksAndPaintsAndKeepsTheOperatorsKeysForAfterwards)
{
    const auto backend = GetParam().make();
    CRulesDialog dialog;
    bool waiting = false;
    int nestedTicks = -1;
    size_t paintedBefore = 0;
    size_t commandsAfterWait = 1;
    dialog.tick = [&](unsigned)
    {
        if (waiting || nestedTicks >= 0)
        {
            nestedTicks += waiting ? 1 : 0;
            return;
        }
        waiting = true;
        nestedTicks = 0;
        backend->Press(EKey::Escape);
        paintedBefore = dialog.painted.size();
        dialog.Invalidate();
        dialog.WaitWhile([&]() { return nestedTicks < 20 || dialog.painted.size() == paintedBefore; }, 10000);
        const int ticksAfterWait = nestedTicks;
        dialog.WaitWhile([]() { return false; }, 10000);
        EXPECT_EQ(nestedTicks, ticksAfterWait) << "nothing to wait for: no tick";
        // A condition that never ends: the time limit does.
        dialog.WaitWhile([]() { return true; }, 50);
        commandsAfterWait = dialog.commands.size();
        waiting = false;
    };
    EXPECT_EQ(backend->RunModal(dialog, {Do([&]() { dialog.SetTimer(1, 10); })}), IdCancel);
    EXPECT_GE(nestedTicks, 20);
    EXPECT_GT(dialog.painted.size(), paintedBefore);
    EXPECT_EQ(commandsAfterWait, 0u);
}

TEST_P(DialogRules, TheDialogPaintsFirstAndThenEachOfItsLabels)
{
    const auto backend = GetParam().make();
    CRulesDialog dialog;
    CNotingLabel label(dialog.painted);
    dialog.init = [&]() { return dialog.BindControl(IdLabel, label), true; };
    std::vector<std::string> painted;
    std::string labelText;
    const auto labelPainted = [&]() {
        return std::find(dialog.painted.begin(), dialog.painted.end(), "label paint") != dialog.painted.end();
    };
    const auto note = [&]() { painted = dialog.painted, labelText = label.GetWindowText(); };
    EXPECT_EQ(backend->RunModal(dialog, {Do([&]() { dialog.painted.clear(), dialog.Invalidate(); }),
                                         When(labelPainted, note), dialog.End()}),
              IdOk);
    painted.resize(4);
    EXPECT_EQ(painted,
              (std::vector<std::string>{"dialog erase", "dialog paint", "label erase", "label paint"}));
    EXPECT_EQ(labelText, "Name");
}

} // namespace
