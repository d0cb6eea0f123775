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
