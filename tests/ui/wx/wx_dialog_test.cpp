#include "PointerPlacement.h"
#include "ScopedLanguage.h"
#include "ScriptedSteps.h"
#include "WxTestWindows.h"
#include "app/QuorvelDlg.h"
#include "app/Resources.h"
#include "support/TextTranslator.h"
#include "ui/ResourceTable.h"
#include "ui/StandardIds.h"
#include "ui/wx/WxBackend.h"
#include "ui/wx/WxDialogWindow.h"

#include <gtest/gtest.h>

#include <wx/bitmap.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/gauge.h>
#include <wx/menu.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <functional>
#include <string>
#include <vector>

namespace
{

class CInspectableQuorvelDlg : public CQuorvelDlg
{
public:
    const CBackgroundBitmap& Background() const { return m_background; }
};

class WxDialogTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(StartedBackend().IsStarted()); }

    CScopedLanguage m_language{CTextTranslator::LanguageEnglish};
};

struct SExpectedControl
{
    int id;
    const char* className;
    const char* text;
};

const SExpectedControl MainDialogControls[] = {
    {IDC_LABEL_ADDRESS, "STATIC", "Recorder TCP/IP address"},
    {IDC_RECORDER_ADDRESS, "EDIT", ""},
    {IDC_LABEL_PASSWORD, "STATIC", "Password"},
    {IDC_PASSWORD, "EDIT", ""},
    {IDC_LABEL_SOFTWARE, "STATIC", "Download software"},
    {IDC_VARNOX, "BUTTON", "Varnox"},
    {IDC_KELLID, "BUTTON", "Kellid"},
    {IDC_LABEL_TEMP_DIRECTORY, "STATIC", "Temporary directory"},
    {IDC_TEMP_DIRECTORY, "EDIT", "/tmp"},
    {IDC_BROWSE, "BUTTON", "..."},
    {IDC_LABEL_PROGRESS, "STATIC", "Progress"},
    {IDC_PROGRESS, "msctls_progress32", ""},
    {IDC_LABEL_STATUS, "STATIC", "Status"},
    {IDC_STATUS, "STATIC", ""},
    {IDC_DOWNLOAD, "BUTTON", "Download"},
    {IdCancel, "BUTTON", "Close"},
};

// The native control matches the template's kind and shows the text the framework reports.
void ExpectNativeControl(const CWxDialogWindow& window, int index, const SExpectedControl& expected)
{
    wxWindow* native = window.GetControlWindow(index);
    const SControlTemplate& definition = window.GetControlTemplate(index);
    switch (definition.kind)
    {
    case EControlKind::Label:
        // The six field labels are painted by the dialog over its background; the status line is
        // a window of its own.
        EXPECT_EQ(native == nullptr, expected.id != IDC_STATUS) << expected.id;
        break;
    case EControlKind::Edit:
        ASSERT_NE(dynamic_cast<wxTextCtrl*>(native), nullptr) << expected.id;
        EXPECT_EQ(static_cast<wxTextCtrl*>(native)->GetValue().utf8_string(), expected.text);
        EXPECT_EQ(native->HasFlag(wxTE_PASSWORD), expected.id == IDC_PASSWORD) << expected.id;
        break;
    case EControlKind::CheckBox:
        ASSERT_NE(dynamic_cast<wxCheckBox*>(native), nullptr) << expected.id;
        EXPECT_TRUE(static_cast<wxCheckBox*>(native)->GetValue()) << expected.id;
        EXPECT_EQ(native->GetLabel().utf8_string(), expected.text);
        break;
    case EControlKind::PushButton:
        ASSERT_NE(dynamic_cast<wxButton*>(native), nullptr) << expected.id;
        EXPECT_EQ(native->GetLabel().utf8_string(), expected.text);
        break;
    case EControlKind::ProgressBar:
        ASSERT_NE(dynamic_cast<wxGauge*>(native), nullptr) << expected.id;
        EXPECT_EQ(static_cast<wxGauge*>(native)->GetRange(), 100);
        EXPECT_EQ(static_cast<wxGauge*>(native)->GetValue(), 0);
        break;
    case EControlKind::Icon:
        ADD_FAILURE() << "the main dialog has no icon control";
        break;
    }
    if (native != nullptr)
    {
        const SRect rect = window.GetControlRect(index);
        EXPECT_EQ(native->GetPosition(), wxPoint(rect.left, rect.top)) << expected.id;
    }
}

// The dialog's client area as it is on the screen.
wxImage CaptureClientArea(wxDialog& dialog)
{
    const wxPoint origin = dialog.ClientToScreen(wxPoint(0, 0));
    const wxSize size = dialog.GetClientSize();
    wxBitmap bitmap(size.x, size.y, 24);
    wxMemoryDC memory(bitmap);
    wxScreenDC screen;
    memory.Blit(0, 0, size.x, size.y, &screen, origin.x, origin.y);
    memory.SelectObject(wxNullBitmap);
    return bitmap.ConvertToImage();
}

TEST_F(WxDialogTest, MainDialogShowsItsControlsInTemplateOrderOverTheShadedBackground)
{
    CInspectableQuorvelDlg dialog;
    int paints = 0;
    bool inspected = false;
    auto inspect = [&]()
    {
        inspected = true;
        auto* window = dynamic_cast<CWxDialogWindow*>(dialog.GetWindow());
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(dialog.GetWindowText(), "Quorvel V1.0");
        ASSERT_EQ(window->GetControlCount(), 16);
        int index = 0;
        dialog.EnumChildWindows(
            [&](int child)
            {
                const SExpectedControl& expected = MainDialogControls[index++];
                EXPECT_EQ(dialog.GetChildId(child), expected.id);
                EXPECT_EQ(dialog.GetChildClassName(child), expected.className) << expected.id;
                EXPECT_EQ(dialog.GetChildText(child), expected.text) << expected.id;
                ExpectNativeControl(*window, child, expected);
                return true;
            });
        EXPECT_EQ(index, 16);
        EXPECT_EQ(dialog.GetFocusId(), IDC_RECORDER_ADDRESS);
        EXPECT_TRUE(dialog.IsDlgItemEnabled(IDC_DOWNLOAD));

        const wxImage shot = CaptureClientArea(*window->GetNativeDialog());
        ASSERT_TRUE(shot.IsOk());
        EXPECT_TRUE(shot.SaveFile(QUORVEL_SCREENSHOT_PATH, wxBITMAP_TYPE_PNG));

        // Inside a label, right of its text, the background picture shows through: the screen
        // holds the picture's colour there, not the button face.
        const CBackgroundBitmap& background = dialog.Background();
        const SRect label = window->GetControlRect(window->FindControl(IDC_LABEL_STATUS));
        const int x = label.right - 3;
        const int y = (label.top + label.bottom) / 2;
        const uint8_t index8 =
            background
                .GetPixels()[static_cast<size_t>(background.GetHeight() - 1 - y) * background.GetStride() +
                             x];
        const SRgbColour expected = background.GetPaletteEntry(index8);
        EXPECT_EQ(shot.GetRed(x, y), expected.red);
        EXPECT_EQ(shot.GetGreen(x, y), expected.green);
        EXPECT_EQ(shot.GetBlue(x, y), expected.blue);
    };
    CScriptedSteps steps(
        {
            [&]()
            {
                wxDialog* native = ShownNativeDialog(dialog);
                if (native == nullptr)
                    return false;
                native->Bind(wxEVT_PAINT,
                             [&paints](wxPaintEvent& event)
                             {
                                 ++paints;
                                 event.Skip();
                             });
                native->Refresh();
                return true;
            },
            // The screenshot waits until the dialog has painted itself at least once.
            [&]() { return paints > 0; },
            [&]()
            {
                inspect();
                // As the Close button would.
                dialog.HandleCommand(IdCancel, ECommandCode::Clicked);
                return true;
            },
        },
        [&dialog]() { dialog.EndDialog(-5); });
    steps.Begin();
    EXPECT_EQ(dialog.DoModal(), IdCancel);
    EXPECT_TRUE(inspected);
}

TEST_F(WxDialogTest, RepaintsReuseTheConvertedBackgroundUntilItChanges)
{
    CInspectableQuorvelDlg dialog;
    int paints = 0;
    int paintsBeforeUpdates = 0;
    unsigned conversionsAfterFirstPaint = 0;
    unsigned conversionsAfterUpdates = 0;
    unsigned conversionsAfterChange = 0;
    CWxDialogWindow* window = nullptr;
    wxDialog* native = nullptr;
    CScriptedSteps steps(
        {
            [&]()
            {
                window = WxWindowOf(dialog);
                native = ShownNativeDialog(dialog);
                if (window == nullptr || native == nullptr)
                    return false;
                native->Bind(wxEVT_PAINT,
                             [&paints](wxPaintEvent& event)
                             {
                                 ++paints;
                                 event.Skip();
                             });
                native->Refresh();
                return true;
            },
            [&]()
            {
                if (paints == 0)
                    return false;
                conversionsAfterFirstPaint = window->GetBackgroundConversionCount();
                paintsBeforeUpdates = paints;
                // What a download does to the window, and a repaint of the whole of it.
                for (int percent = 10; percent <= 50; percent += 10)
                {
                    dialog.SetProgressPos(IDC_PROGRESS, percent);
                    dialog.SetDlgItemText(IDC_STATUS, "varnoxsetup.exe: " + std::to_string(percent));
                    native->Update();
                }
                native->Refresh();
                return true;
            },
            [&]()
            {
                if (paints <= paintsBeforeUpdates)
                    return false;
                conversionsAfterUpdates = window->GetBackgroundConversionCount();
                // Other colours: the picture changes and is converted once more.
                dialog.GenerateBackground(8, 50, 0x0000FF);
                dialog.Invalidate();
                paintsBeforeUpdates = paints;
                return true;
            },
            [&]()
            {
                if (paints <= paintsBeforeUpdates)
                    return false;
                conversionsAfterChange = window->GetBackgroundConversionCount();
                dialog.EndDialog(IdOk);
                return true;
            },
        },
        [&dialog]() { dialog.EndDialog(-5); });
    steps.Begin();
    EXPECT_EQ(dialog.DoModal(), IdOk);
    EXPECT_EQ(conversionsAfterFirstPaint, 1u);
    EXPECT_EQ(conversionsAfterUpdates, 1u) << "progress, status and whole repaints reused the picture";
    EXPECT_EQ(conversionsAfterChange, 2u);
}

TEST_F(WxDialogTest, EscapeAndEnterInAnEditFieldEndTheIdleMainDialog)
{
    struct SCase
    {
        int focus;
        int key;
    };
    const SCase cases[] = {
        {IDC_RECORDER_ADDRESS, WXK_ESCAPE},
        {IDC_RECORDER_ADDRESS, WXK_RETURN},
        {IDC_PASSWORD, WXK_RETURN},
        {IDC_TEMP_DIRECTORY, WXK_RETURN},
    };
    for (const SCase& c : cases)
    {
        CQuorvelDlg dialog;
        CPointerPlacement pointer;
        CScriptedSteps steps(
            {
                [&]()
                {
                    wxDialog* native = ShownNativeDialog(dialog);
                    if (native == nullptr || !pointer.Reached(*native))
                        return false;
                    dialog.GotoDlgCtrl(c.focus);
                    return true;
                },
                [&]()
                {
                    if (dialog.GetFocusId() != c.focus)
                        return false;
                    wxUIActionSimulator().Char(c.key);
                    return true;
                },
            },
            [&dialog]() { dialog.EndDialog(-5); });
        steps.Begin();
        EXPECT_EQ(dialog.DoModal(), IdCancel) << "key " << c.key << " in " << c.focus;
    }
}

TEST_F(WxDialogTest, TheContextMenuOffersTheAboutEntryAsSystemCommand16)
{
    const wxString aboutCaption = wxString::FromUTF8("Info über Quorvel");
    CQuorvelDlg dialog;
    CPointerPlacement pointer;
    bool menuOpened = false;
    bool aboutShown = false;
    CScriptedSteps steps(
        {
            [&]()
            {
                wxDialog* native = ShownNativeDialog(dialog);
                // A spot of the background, away from every control.
                if (native == nullptr || !pointer.Reached(*native, wxPoint(6, 4)))
                    return false;
                native->Bind(wxEVT_MENU_OPEN,
                             [&menuOpened](wxMenuEvent& event)
                             {
                                 menuOpened = true;
                                 event.Skip();
                             });
                // The button stays down while the menu is worked with keys: a release that comes
                // late after the press, as under load, would close the menu unused.
                wxUIActionSimulator().MouseDown(wxMOUSE_BTN_RIGHT);
                return true;
            },
            [&]()
            {
                if (!menuOpened)
                    return false;
                // The menu: a separator, then the about entry.
                wxUIActionSimulator simulator;
                simulator.Char(WXK_DOWN);
                simulator.Char(WXK_RETURN);
                return true;
            },
            [&]()
            {
                wxTopLevelWindow* about = FindTopLevel(aboutCaption);
                if (about == nullptr || !about->IsShown())
                    return false;
                aboutShown = true;
                wxUIActionSimulator simulator;
                simulator.MouseUp(wxMOUSE_BTN_RIGHT);
                // Enter reaches the about box's default button, OK.
                simulator.Char(WXK_RETURN);
                return true;
            },
            [&]()
            {
                // Hidden is not enough: until its modal loop has returned and the box is destroyed,
                // the main dialog's loop cannot be ended.
                if (FindTopLevel(aboutCaption) != nullptr)
                    return false;
                dialog.EndDialog(IdOk);
                return true;
            },
        },
        [&dialog]()
        {
            wxUIActionSimulator().MouseUp(wxMOUSE_BTN_RIGHT);
            dialog.EndDialog(-5);
        });
    steps.Begin();
    EXPECT_EQ(dialog.DoModal(), IdOk);
    EXPECT_TRUE(menuOpened);
    EXPECT_TRUE(aboutShown) << "the about box opened from the context menu";
    EXPECT_TRUE(steps.IsDone()) << "the about box closed again";
}

constexpr int IdFieldsDialog = 901;
constexpr int IdFirstField = 11;
constexpr int IdSecondField = 12;
const SControlTemplate FieldsDialogControls[] = {
    {IdFirstField, EControlKind::Edit, "", 10, 10, 80, 12, StyleTabStop | StyleAutoHScroll},
    {IdSecondField, EControlKind::Edit, "", 10, 30, 80, 12, StyleTabStop | StyleAutoHScroll},
};

constexpr int IdBoxDialog = 900;
const SControlTemplate BoxDialogControls[] = {
    {IdCancel, EControlKind::PushButton, "Close", 10, 10, 50, 14, StyleTabStop | StyleDefault},
};
const SDialogTemplate BoxDialogs[] = {
    {IdBoxDialog, "Timer test", 100, 40, "MS Sans Serif", 8, DialogStyleCaption | DialogStyleSystemMenu,
     BoxDialogControls, 1},
};
const SStringResource NoStrings[] = {{0, ""}};
const SIconResource NoIcons[] = {{0, nullptr, 0}};
const SDialogTemplate FieldsDialogs[] = {
    {IdFieldsDialog, "Focus test", 100, 50, "MS Sans Serif", 8, DialogStyleCaption, FieldsDialogControls, 2},
};
const CResourceTable BoxResources("Quorvel", BoxDialogs, NoStrings, NoIcons);
const CResourceTable FieldsResources("Quorvel", FieldsDialogs, NoStrings, NoIcons);

class CFieldsDlg : public CDialog
{
public:
    CFieldsDlg() : CDialog(FieldsResources, IdFieldsDialog) {}

    std::vector<int> focusLosses;

protected:
    bool OnCommand(int id, ECommandCode code) override
    {
        if (code == ECommandCode::KillFocus)
            focusLosses.push_back(id);
        return CDialog::OnCommand(id, code);
    }
};

TEST_F(WxDialogTest, AnEditFieldReportsThatItLostTheFocus)
{
    CFieldsDlg dialog;
    CPointerPlacement pointer;
    CScriptedSteps steps(
        {
            [&]()
            {
                wxDialog* native = ShownNativeDialog(dialog);
                // A window without the keyboard reports no focus moves.
                return native != nullptr && dialog.GetFocusId() == IdFirstField && pointer.Reached(*native);
            },
            [&]()
            {
                dialog.GotoDlgCtrl(IdSecondField);
                return true;
            },
            [&]()
            {
                if (dialog.focusLosses.empty())
                    return false;
                dialog.EndDialog(IdOk);
                return true;
            },
        },
        [&dialog]() { dialog.EndDialog(-5); });
    steps.Begin();
    EXPECT_EQ(dialog.DoModal(), IdOk);
    ASSERT_FALSE(dialog.focusLosses.empty());
    EXPECT_EQ(dialog.focusLosses.front(), IdFirstField);
}

// Opens a message box from its first tick and counts the ticks that arrive while it is open.
class CMessageBoxDuringTickDlg : public CDialog
{
public:
    CMessageBoxDuringTickDlg() : CDialog(BoxResources, IdBoxDialog) {}

    bool pointerPlaced = false;
    int outerTicks = 0;
    int nestedTicks = 0;
    EMessageBoxResult answer = EMessageBoxResult::None;

protected:
    bool OnInitDialog() override
    {
        CDialog::OnInitDialog();
        SetTimer(0, 10);
        return true;
    }
    void OnTimer(unsigned) override
    {
        if (m_inTick)
        {
            // Enough ticks went by under the box: answer it as the operator would.
            if (++nestedTicks == 20)
                wxUIActionSimulator().Char(WXK_RETURN);
            return;
        }
        // The answer is a key, which reaches the box only through a window of the program that has
        // the pointer.
        if (!pointerPlaced)
            return;
        m_inTick = true;
        if (++outerTicks == 1)
        {
            answer = MessageBox("Ticks keep coming", EMessageBoxIcon::Exclamation, EMessageBoxButtons::Ok);
            EndDialog(IdOk);
        }
        m_inTick = false;
    }

private:
    bool m_inTick = false;
};

// Puts the pointer over the dialog, then lets it know; the dialog ends by itself meanwhile, or the
// steps give up.
template <class TDialog>
std::vector<std::function<bool()>> PlacePointerAndWait(TDialog& dialog, CPointerPlacement& pointer)
{
    return {
        [&dialog, &pointer]()
        {
            wxDialog* native = ShownNativeDialog(dialog);
            dialog.pointerPlaced = native != nullptr && pointer.Reached(*native);
            return dialog.pointerPlaced;
        },
        []() { return false; },
    };
}

TEST_F(WxDialogTest, WindowTimerKeepsTickingWhileANativeMessageBoxIsOpen)
{
    CMessageBoxDuringTickDlg dialog;
    CPointerPlacement pointer;
    CScriptedSteps steps(PlacePointerAndWait(dialog, pointer), [&dialog]() { dialog.EndDialog(-5); });
    steps.Begin();
    EXPECT_EQ(dialog.DoModal(), IdOk);
    EXPECT_EQ(dialog.outerTicks, 1);
    EXPECT_GE(dialog.nestedTicks, 20);
    EXPECT_EQ(dialog.answer, EMessageBoxResult::Ok);
}

// Waits from its first tick, the way the setup launch waits for a start, until enough ticks and a
// repaint came during the wait. The operator presses Escape just as the wait begins.
class CWaitDuringTickDlg : public CDialog
{
public:
    CWaitDuringTickDlg() : CDialog(BoxResources, IdBoxDialog) {}

    bool pointerPlaced = false;
    int nestedTicks = 0;
    int paintsDuringWait = 0;
    int commandsBeforeTheWaitEnded = 0;
    bool waited = false;

protected:
    bool OnInitDialog() override
    {
        CDialog::OnInitDialog();
        SetTimer(0, 10);
        return true;
    }
    bool OnCommand(int id, ECommandCode code) override
    {
        if (!waited)
            ++commandsBeforeTheWaitEnded;
        return CDialog::OnCommand(id, code);
    }
    void OnPaint(CPaintContext& dc) override
    {
        if (m_inTick)
            ++paintsDuringWait;
        CDialog::OnPaint(dc);
    }
    void OnTimer(unsigned) override
    {
        if (m_inTick)
        {
            ++nestedTicks;
            return;
        }
        if (waited || !pointerPlaced)
            return;
        m_inTick = true;
        wxUIActionSimulator().Char(WXK_ESCAPE);
        Invalidate();
        WaitWhile([this]() { return nestedTicks < 20 || paintsDuringWait == 0; }, 10000);
        waited = true;
        m_inTick = false;
    }

private:
    bool m_inTick = false;
};

TEST_F(WxDialogTest, AWaitKeepsTheWindowTickingAndPaintingAndKeepsTheOperatorsKeysForAfterwards)
{
    CWaitDuringTickDlg dialog;
    CPointerPlacement pointer;
    CScriptedSteps steps(PlacePointerAndWait(dialog, pointer), [&dialog]() { dialog.EndDialog(-5); });
    steps.Begin();
    // The Escape pressed as the wait began ends the dialog once the wait is over.
    EXPECT_EQ(dialog.DoModal(), IdCancel);
    EXPECT_TRUE(dialog.waited);
    EXPECT_GE(dialog.nestedTicks, 20);
    EXPECT_GT(dialog.paintsDuringWait, 0);
    EXPECT_EQ(dialog.commandsBeforeTheWaitEnded, 0);
}

} // namespace
