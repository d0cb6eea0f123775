#include "PointerPlacement.h"
#include "ScopedLanguage.h"
#include "ScriptedSteps.h"
#include "SilentListener.h"
#include "WxTestWindows.h"
#include "app/QuorvelDlg.h"
#include "app/Resources.h"
#include "ui/ResourceTable.h"
#include "ui/StandardIds.h"
#include "ui/wx/WxBackend.h"
#include "ui/wx/WxDialogWindow.h"

#include <gtest/gtest.h>

#include <wx/uiaction.h>

#include <string>
#include <vector>

namespace
{

class WxFocusTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(StartedBackend().IsStarted()); }

    CScopedLanguage m_language{CTextTranslator::LanguageEnglish};
};

// A real mouse click in the middle of the control; false while the dialog has no window.
bool ClickControl(const CDialog& dialog, int id)
{
    CWxDialogWindow* window = WxWindowOf(dialog);
    if (window == nullptr)
        return false;
    const SRect rect = window->GetControlRect(window->FindControl(id));
    const wxPoint centre((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    wxUIActionSimulator simulator;
    simulator.MouseMove(window->GetNativeDialog()->ClientToScreen(centre));
    simulator.MouseClick();
    return true;
}

// The last step: the dialog ends meanwhile, or the steps give up.
bool WaitForTheEnd()
{
    return false;
}

// The main dialog pointed at a recorder that never answers, so that a download stays under way.
class CWaitingQuorvelDlg : public CQuorvelDlg
{
public:
    explicit CWaitingQuorvelDlg(int port) { m_session.SetPort(port); }
    bool IsIdle() const { return m_idle; }
};

TEST_F(WxFocusTest, EscapeAbortsTheDownloadAndThenClosesTheDialogWhereverTheFocusIs)
{
    CSilentListener recorder;
    ASSERT_NE(recorder.Port(), 0);
    CWaitingQuorvelDlg dialog(recorder.Port());
    int focusAfterClick = -1;
    int focusTakenAway = -1;
    int abortedDownloads = 0;
    auto startDownload = [&]() { return ClickControl(dialog, IDC_DOWNLOAD); };
    CPointerPlacement pointer;
    CScriptedSteps steps(
        {
            [&]()
            {
                wxDialog* native = ShownNativeDialog(dialog);
                if (native == nullptr || !pointer.Reached(*native))
                    return false;
                dialog.SetDlgItemText(IDC_RECORDER_ADDRESS, "127.0.0.1");
                return true;
            },
            startDownload,
            [&]()
            {
                if (dialog.IsIdle())
                    return false;
                // The clicked button was disabled under the focus, which went on to the next tab stop.
                focusAfterClick = dialog.GetFocusId();
                wxUIActionSimulator().Char(WXK_ESCAPE);
                return true;
            },
            [&]()
            {
                if (!dialog.IsIdle())
                    return false;
                ++abortedDownloads;
                return startDownload();
            },
            [&]()
            {
                CWxDialogWindow* window = WxWindowOf(dialog);
                if (dialog.IsIdle() || window == nullptr)
                    return false;
                window->SetFocusControl(-1);
                return true;
            },
            [&]()
            {
                focusTakenAway = dialog.GetFocusId();
                wxUIActionSimulator().Char(WXK_ESCAPE);
                return true;
            },
            [&]()
            {
                if (!dialog.IsIdle())
                    return false;
                ++abortedDownloads;
                // Idle, with the focus still nowhere: Escape closes the dialog.
                wxUIActionSimulator().Char(WXK_ESCAPE);
                return true;
            },
            WaitForTheEnd,
        },
        [&dialog]() { dialog.EndDialog(-5); });
    steps.Begin();
    EXPECT_EQ(dialog.DoModal(), IdCancel);
    EXPECT_EQ(focusAfterClick, IdCancel);
    EXPECT_EQ(focusTakenAway, 0);
    EXPECT_EQ(abortedDownloads, 2) << "each Escape during the download aborted it and kept the dialog open";
}

constexpr int IdFocusDialog = 902;
constexpr int IdFirstField = 21;
constexpr int IdApply = 22;
constexpr int IdLastField = 23;
const SControlTemplate FocusDialogControls[] = {
    {IdFirstField, EControlKind::Edit, "", 10, 10, 80, 12, StyleTabStop | StyleAutoHScroll},
    {IdApply, EControlKind::PushButton, "Apply", 10, 26, 50, 14, StyleTabStop},
    {IdLastField, EControlKind::Edit, "", 10, 44, 80, 12, StyleTabStop | StyleAutoHScroll},
};
const SDialogTemplate FocusDialogs[] = {
    {IdFocusDialog, "Focus moves", 100, 62, "MS Sans Serif", 8, DialogStyleCaption, FocusDialogControls, 3},
};
const SStringResource NoStrings[] = {{0, ""}};
const SIconResource NoIcons[] = {{0, nullptr, 0}};
const CResourceTable FocusResources("Quorvel", FocusDialogs, NoStrings, NoIcons);

class CFocusDlg : public CDialog
{
public:
    CFocusDlg() : CDialog(FocusResources, IdFocusDialog) {}
};

TEST_F(WxFocusTest, DisablingTheFocusedControlMovesTheFocusOnAndKeysArriveWhenNoControlIsLeft)
{
    struct SCase
    {
        int key;
        int result;
    };
    // Without a default button, Enter presses IdOk.
    for (const SCase& c : {SCase{WXK_ESCAPE, IdCancel}, SCase{WXK_RETURN, IdOk}})
    {
        CFocusDlg dialog;
        std::vector<int> focusAfterEachDisable;
        auto disableFocused = [&]()
        {
            dialog.EnableDlgItem(dialog.GetFocusId(), false);
            return true;
        };
        auto noteFocus = [&]()
        {
            focusAfterEachDisable.push_back(dialog.GetFocusId());
            return true;
        };
        CPointerPlacement pointer;
        CScriptedSteps steps(
            {
                [&]()
                {
                    wxDialog* native = ShownNativeDialog(dialog);
                    if (native == nullptr || !pointer.Reached(*native))
                        return false;
                    dialog.GotoDlgCtrl(IdApply);
                    return true;
                },
                [&]() { return dialog.GetFocusId() == IdApply; },
                disableFocused,
                noteFocus,
                disableFocused,
                noteFocus,
                disableFocused,
                noteFocus,
                [&]()
                {
                    wxUIActionSimulator().Char(c.key);
                    return true;
                },
                WaitForTheEnd,
            },
            [&dialog]() { dialog.EndDialog(-5); });
        steps.Begin();
        EXPECT_EQ(dialog.DoModal(), c.result) << "key " << c.key;
        // Forward from the button, round from the last field to the first, then nowhere.
        EXPECT_EQ(focusAfterEachDisable, (std::vector<int>{IdLastField, IdFirstField, 0})) << "key " << c.key;
    }
}

} // namespace
