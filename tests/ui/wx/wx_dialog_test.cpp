#include "PointerPlacement.h"
#include "ScopedLanguage.h"
#include "ScriptedSteps.h"
#include "WxTestWindows.h"
#include "app/QuorvelDlg.h"
#include "app/Resources.h"
#include "support/TextTranslator.h"
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

// Shown, then painted again after what a download does to the window, then after the picture
// changes: the converted picture is reused until then.
TEST_F(WxDialogTest, MainDialogShowsItsControlsOverTheShadedBackgroundConvertedOncePerPicture)
{
    CInspectableQuorvelDlg dialog;
    int paints = 0;
    int paintsBefore = 0;
    std::vector<unsigned> conversions;
    CWxDialogWindow* window = nullptr;
    auto inspect = [&]()
    {
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
    // Each step waits for a paint since the one before.
    auto afterPaint = [&](std::function<void()> action)
    {
        return [&, action]()
        {
            if (paints <= paintsBefore)
                return false;
            conversions.push_back(window->GetBackgroundConversionCount());
            paintsBefore = paints;
            action();
            return true;
        };
    };
    CScriptedSteps steps(
        {
            [&]()
            {
                wxDialog* native = ShownNativeDialog(dialog);
                if (native == nullptr)
                    return false;
                window = WxWindowOf(dialog);
                native->Bind(wxEVT_PAINT,
                             [&paints](wxPaintEvent& event)
                             {
                                 ++paints;
                                 event.Skip();
                             });
                native->Refresh();
                return true;
            },
            afterPaint(
                [&]()
                {
                    inspect();
                    for (int percent = 10; percent <= 50; percent += 10)
                    {
                        dialog.SetProgressPos(IDC_PROGRESS, percent);
                        dialog.SetDlgItemText(IDC_STATUS, "varnoxsetup.exe: " + std::to_string(percent));
                        window->GetNativeDialog()->Update();
                    }
                    window->GetNativeDialog()->Refresh();
                }),
            afterPaint(
                [&]()
                {
                    dialog.GenerateBackground(8, 50, 0x0000FF);
                    dialog.Invalidate();
                }),
            afterPaint([&]() { dialog.EndDialog(IdOk); }),
        },
        [&dialog]() { dialog.EndDialog(-5); });
    steps.Begin();
    EXPECT_EQ(dialog.DoModal(), IdOk);
    EXPECT_EQ(conversions, (std::vector<unsigned>{1, 1, 2}))
        << "progress, status and whole repaints reused the picture until it changed";
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

} // namespace
