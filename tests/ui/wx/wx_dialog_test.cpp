#include "DialogRulesBackend.h"
#include "ScopedLanguage.h"
#include "WxTestWindows.h"
#include "app/QuorvelDlg.h"
#include "app/Resources.h"
#include "support/TextTranslator.h"
#include "ui/StandardIds.h"
#include "ui/wx/WxBackend.h"
#include "ui/wx/WxDialogWindow.h"

#include <gtest/gtest.h>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/gauge.h>
#include <wx/menu.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <string>
#include <vector>

namespace
{

class WxDialogTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(StartedBackend().IsStarted()); }

    const std::unique_ptr<CDialogRulesBackend> m_backend = MakeWxRulesBackend();
    CScopedLanguage m_language{CTextTranslator::LanguageEnglish};
};

// The main dialog's texts in English, in template order (the kinds' class names and the order are
// the dialog rules suite's; the templates are checked in tests/app).
const std::string MainDialogTexts[] = {"Recorder TCP/IP address",
                                       "",
                                       "Password",
                                       "",
                                       "Download software",
                                       "Varnox",
                                       "Kellid",
                                       "Temporary directory",
                                       "/tmp",
                                       "...",
                                       "Progress",
                                       "",
                                       "Status",
                                       "",
                                       "Download",
                                       "Close"};

// The native control matches the template's kind (its text is what the framework reports).
void ExpectNativeControl(const CWxDialogWindow& window, int index)
{
    wxWindow* native = window.GetControlWindow(index);
    const SControlTemplate& definition = window.GetControlTemplate(index);
    const int id = definition.id;
    switch (definition.kind)
    {
    case EControlKind::Label:
        // The six field labels are painted by the dialog over its background; the status line is
        // a window of its own.
        EXPECT_EQ(native == nullptr, id != IDC_STATUS) << id;
        break;
    case EControlKind::Edit:
        ASSERT_NE(dynamic_cast<wxTextCtrl*>(native), nullptr) << id;
        EXPECT_EQ(native->HasFlag(wxTE_PASSWORD), id == IDC_PASSWORD) << id;
        break;
    case EControlKind::CheckBox:
        ASSERT_NE(dynamic_cast<wxCheckBox*>(native), nullptr) << id;
        EXPECT_TRUE(static_cast<wxCheckBox*>(native)->GetValue()) << id;
        break;
    case EControlKind::PushButton:
        ASSERT_NE(dynamic_cast<wxButton*>(native), nullptr) << id;
        break;
    case EControlKind::ProgressBar:
        ASSERT_NE(dynamic_cast<wxGauge*>(native), nullptr) << id;
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
        EXPECT_EQ(native->GetPosition(), wxPoint(rect.left, rect.top)) << id;
    }
}

// The control list the framework reports, over native controls of the template's kinds. The
// screenshot of the window is the artefact.
TEST_F(WxDialogTest, TheMainDialogsNativeControlsShowItsControls)
{
    CQuorvelDlg dialog;
    const auto inspect = [&]()
    {
        CWxDialogWindow* window = WxWindowOf(dialog);
        EXPECT_EQ(dialog.GetWindowText(), "Quorvel V1.0");
        ASSERT_EQ(window->GetControlCount(), 16);
        for (int index = 0; index < 16; ++index)
        {
            EXPECT_EQ(window->GetControlText(index), MainDialogTexts[index]) << index;
            ExpectNativeControl(*window, index);
        }
        EXPECT_EQ(dialog.GetFocusId(), IDC_RECORDER_ADDRESS);
        EXPECT_TRUE(dialog.IsDlgItemEnabled(IDC_DOWNLOAD));
        EXPECT_TRUE(CaptureClientArea(*window->GetNativeDialog())
                        .SaveFile(QUORVEL_SCREENSHOT_PATH, wxBITMAP_TYPE_PNG));
    };
    EXPECT_EQ(m_backend->RunModal(dialog, {[&]() { return inspect(), dialog.EndDialog(IdOk), true; }}), IdOk);
}

// The pointer rests on a spot of the background, away from every control.
TEST_F(WxDialogTest, TheContextMenuOffersTheAboutEntryAsSystemCommand16)
{
    const wxString aboutCaption = wxString::FromUTF8("Info über Quorvel");
    CQuorvelDlg dialog;
    bool menuOpened = false;
    bool aboutShown = false;
    const int result = m_backend->RunModal(
        dialog,
        {
            [&]()
            {
                ShownNativeDialog(dialog)->Bind(wxEVT_MENU_OPEN,
                                                [&menuOpened](wxMenuEvent& event)
                                                {
                                                    menuOpened = true;
                                                    event.Skip();
                                                });
                // The button stays down while the menu is worked with keys: a release that
                // comes late after the press, as under load, would close the menu unused.
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
                // Hidden is not enough: until its modal loop has returned and the box is
                // destroyed, the main dialog's loop cannot be ended.
                return FindTopLevel(aboutCaption) == nullptr && (dialog.EndDialog(IdOk), true);
            },
        });
    if (!aboutShown)
        wxUIActionSimulator().MouseUp(wxMOUSE_BTN_RIGHT);
    EXPECT_EQ(result, IdOk) << "the about box closed again";
    EXPECT_TRUE(menuOpened);
    EXPECT_TRUE(aboutShown) << "the about box opened from the context menu";
}

} // namespace
