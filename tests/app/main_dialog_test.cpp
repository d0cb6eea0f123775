#include "ScopedLanguage.h"
#include "app/QuorvelApp.h"
#include "app/QuorvelDlg.h"
#include "app/Resources.h"
#include "app/WindowTextTranslation.h"
#include "os/Paths.h"
#include "support/BackgroundGenerator.h"
#include "support/TextTranslator.h"
#include "ui/IconResource.h"
#include "ui/ResourceTable.h"
#include "ui/StandardIds.h"
#include "ui/headless/HeadlessBackend.h"
#include "ui/headless/HeadlessDialogWindow.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{

// Lets the tests look at what the dialog keeps to itself.
class CInspectableQuorvelDlg : public CQuorvelDlg
{
public:
    const CBackgroundBitmap& Background() const { return m_background; }
    bool IsIdle() const { return m_idle; }
    const SIconResource* Icon() const { return m_hIcon; }
};

class MainDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        backend.SetFailureHandler([](const std::string& message) { ADD_FAILURE() << message; });
    }

    CScopedLanguage displayLanguage{CTextTranslator::LanguageEnglish};
    CHeadlessBackend backend;
};

TEST_F(MainDialogTest, StartsIdleWithBothPackagesTickedAndTheDefaultDirectory)
{
    CInspectableQuorvelDlg dialog;
    CHeadlessDialogWindow* window = backend.Open(dialog);
    ASSERT_NE(window, nullptr);

    EXPECT_EQ(window->GetCaption(), "Quorvel V1.0");
    EXPECT_TRUE(window->IsChecked(IDC_VARNOX));
    EXPECT_TRUE(window->IsChecked(IDC_KELLID));
    EXPECT_EQ(window->GetText(IDC_TEMP_DIRECTORY), os::DefaultTempDirectory());
    EXPECT_EQ(window->GetText(IDC_RECORDER_ADDRESS), "");
    EXPECT_EQ(window->GetText(IDC_PASSWORD), "");
    EXPECT_EQ(window->GetFocusId(), IDC_RECORDER_ADDRESS);
    EXPECT_EQ(window->GetProgressLower(IDC_PROGRESS), 0);
    EXPECT_EQ(window->GetProgressUpper(IDC_PROGRESS), 100);
    EXPECT_EQ(window->GetProgressPosition(IDC_PROGRESS), 0);
    EXPECT_EQ(window->GetText(IDC_STATUS), "");
    EXPECT_TRUE(window->IsEnabled(IDC_DOWNLOAD));
    EXPECT_EQ(window->GetText(IdCancel), "Close");
    EXPECT_TRUE(dialog.IsIdle());

    EXPECT_EQ(window->GetTimerInterval(0), 10u) << "the 10 ms window timer with id 0 runs";
    ASSERT_NE(dialog.Icon(), nullptr);
    EXPECT_EQ(dialog.Icon()->id, IDR_MAINFRAME);
    EXPECT_EQ(window->GetIcon(true), dialog.Icon());
    EXPECT_EQ(window->GetIcon(false), dialog.Icon());
    EXPECT_EQ(dialog.HandleQueryDragIcon(), dialog.Icon());
    EXPECT_TRUE(backend.GetMessageBoxes().empty());
}

TEST_F(MainDialogTest, TheSystemMenuEndsWithASeparatorAndTheUntranslatedAboutEntry)
{
    CQuorvelDlg dialog;
    CHeadlessDialogWindow* window = backend.Open(dialog);
    ASSERT_NE(window, nullptr);
    const auto& menu = window->GetSystemMenu();
    ASSERT_EQ(menu.size(), 2u);
    EXPECT_EQ(menu[0].id, 0u);
    EXPECT_EQ(menu[1].id, IDM_ABOUTBOX);
    EXPECT_EQ(menu[1].text, "Inf&o über Quorvel...");
}

TEST_F(MainDialogTest, DownloadButtonIsEnabledWhileAPackageIsTicked)
{
    struct SCase
    {
        bool clickVarnox;
        bool clickKellid;
        bool enabled;
    };
    // Both start ticked; a click unticks.
    const SCase cases[] = {
        {false, false, true},
        {true, false, true},
        {false, true, true},
        {true, true, false},
    };
    for (const SCase& c : cases)
    {
        CQuorvelDlg dialog;
        CHeadlessDialogWindow* window = backend.Open(dialog);
        ASSERT_NE(window, nullptr);
        if (c.clickVarnox)
            window->Click(IDC_VARNOX);
        if (c.clickKellid)
            window->Click(IDC_KELLID);
        EXPECT_EQ(window->IsEnabled(IDC_DOWNLOAD), c.enabled) << c.clickVarnox << c.clickKellid;
    }
}

TEST_F(MainDialogTest, TickingOneBoxAgainReenablesTheDownloadButton)
{
    const int boxes[] = {IDC_VARNOX, IDC_KELLID};
    for (int box : boxes)
    {
        CQuorvelDlg dialog;
        CHeadlessDialogWindow* window = backend.Open(dialog);
        ASSERT_NE(window, nullptr);
        window->Click(IDC_VARNOX);
        window->Click(IDC_KELLID);
        ASSERT_FALSE(window->IsEnabled(IDC_DOWNLOAD));
        window->Click(box);
        EXPECT_TRUE(window->IsEnabled(IDC_DOWNLOAD)) << box;
        EXPECT_TRUE(window->IsChecked(box));
    }
}

TEST_F(MainDialogTest, CancelCommandsEndTheModalRunWhileIdle)
{
    struct SCase
    {
        const char* name;
        int focus;
        CHeadlessBackend::ScriptStep action;
    };
    const SCase cases[] = {
        {"Escape", IDC_RECORDER_ADDRESS, [](CHeadlessDialogWindow& w) { w.PressEscape(); }},
        {"close box", IDC_RECORDER_ADDRESS, [](CHeadlessDialogWindow& w) { w.PressClose(); }},
        {"Enter in the address", IDC_RECORDER_ADDRESS, [](CHeadlessDialogWindow& w) { w.PressEnter(); }},
        {"Enter in the password", IDC_PASSWORD, [](CHeadlessDialogWindow& w) { w.PressEnter(); }},
        {"Enter in the directory", IDC_TEMP_DIRECTORY, [](CHeadlessDialogWindow& w) { w.PressEnter(); }},
        {"Close button", IDC_RECORDER_ADDRESS, [](CHeadlessDialogWindow& w) { w.Click(IdCancel); }},
    };
    for (const SCase& c : cases)
    {
        CQuorvelDlg dialog;
        const int focus = c.focus;
        backend.AddStep([focus](CHeadlessDialogWindow& w) { w.MoveFocus(focus); });
        backend.AddStep(c.action);
        EXPECT_EQ(dialog.DoModal(), IdCancel) << c.name;
        EXPECT_EQ(backend.GetPendingStepCount(), 0u) << c.name;
    }
}

TEST_F(MainDialogTest, TheAboutEntryOpensTheAboutBoxInGermanWhateverTheLanguage)
{
    const int32_t languages[] = {CTextTranslator::LanguageEnglish, CTextTranslator::LanguageGerman};
    for (int32_t language : languages)
    {
        displayLanguage.Set(language);
        CQuorvelDlg dialog;
        bool aboutShown = false;
        backend.AddStep([](CHeadlessDialogWindow& w) { w.ChooseSystemMenuItem(IDM_ABOUTBOX); });
        // The about box's own modal run takes the next step.
        backend.AddStep(
            [&aboutShown](CHeadlessDialogWindow& about)
            {
                aboutShown = true;
                EXPECT_EQ(about.GetCaption(), "Info über Quorvel");
                EXPECT_EQ(about.GetDialog().GetChildText(1), "Quorvel Version 1.0.1");
                EXPECT_EQ(about.GetText(IdOk), "OK");
                about.PressEnter();
            });
        backend.AddStep(
            [](CHeadlessDialogWindow& w)
            {
                EXPECT_FALSE(w.IsEnded()) << "closing the about box leaves the dialog open";
                EXPECT_EQ(w.GetCaption(), "Quorvel V1.0");
                w.PressEscape();
            });
        EXPECT_EQ(dialog.DoModal(), IdCancel);
        EXPECT_TRUE(aboutShown) << "language " << language;
    }
}

TEST_F(MainDialogTest, OtherSystemCommandsDoNotOpenTheAboutBox)
{
    CQuorvelDlg dialog;
    CHeadlessDialogWindow* window = backend.Open(dialog);
    ASSERT_NE(window, nullptr);
    // 0xF020 minimises: the toolkit's business, not the dialog's.
    dialog.HandleSysCommand(0xF020, 0);
    EXPECT_EQ(backend.ActiveWindow(), window);
    EXPECT_FALSE(window->IsEnded());
}

struct SCaption
{
    int id;
    const char* german;
    const char* english;
};

const SCaption TranslatedCaptions[] = {
    {IDC_LABEL_ADDRESS, "Recorder TCP/IP Addresse", "Recorder TCP/IP address"},
    {IDC_LABEL_PASSWORD, "Passwort", "Password"},
    {IDC_LABEL_SOFTWARE, "Software herunterladen", "Download software"},
    {IDC_VARNOX, "Varnox", "Varnox"},
    {IDC_KELLID, "Kellid", "Kellid"},
    {IDC_LABEL_TEMP_DIRECTORY, "Temporäres Verzeichnis", "Temporary directory"},
    {IDC_BROWSE, "...", "..."},
    {IDC_LABEL_PROGRESS, "Fortschritt", "Progress"},
    {IDC_LABEL_STATUS, "Status", "Status"},
    {IDC_DOWNLOAD, "Herunterladen", "Download"},
    {IdCancel, "Schliessen", "Close"},
};

TEST_F(MainDialogTest, CaptionsFollowTheDisplayLanguage)
{
    const int32_t languages[] = {CTextTranslator::LanguageGerman, CTextTranslator::LanguageEnglish};
    for (int32_t language : languages)
    {
        displayLanguage.Set(language);
        CQuorvelDlg dialog;
        CHeadlessDialogWindow* window = backend.Open(dialog);
        ASSERT_NE(window, nullptr);
        const bool german = language == CTextTranslator::LanguageGerman;
        for (const SCaption& caption : TranslatedCaptions)
            EXPECT_EQ(window->GetText(caption.id), german ? caption.german : caption.english) << caption.id;
        EXPECT_EQ(window->GetCaption(), "Quorvel V1.0") << "the dialog's caption is not a key";
    }
}

std::vector<std::string> AllTexts(const CDialog& dialog)
{
    std::vector<std::string> texts{dialog.GetWindowText()};
    dialog.EnumChildWindows(
        [&](int child)
        {
            texts.push_back(dialog.GetChildText(child));
            return true;
        });
    return texts;
}

TEST_F(MainDialogTest, TranslatingTwiceOnAnEnglishDisplayChangesNothing)
{
    CQuorvelDlg dialog;
    ASSERT_NE(backend.Open(dialog), nullptr);
    const std::vector<std::string> once = AllTexts(dialog);
    EXPECT_TRUE(TranslateWindowTexts(dialog));
    EXPECT_EQ(AllTexts(dialog), once);
}

TEST_F(MainDialogTest, EditFieldsKeepTextsThatLookLikeKeys)
{
    CQuorvelDlg dialog;
    CHeadlessDialogWindow* window = backend.Open(dialog);
    ASSERT_NE(window, nullptr);
    window->Type(IDC_RECORDER_ADDRESS, "Passwort");
    dialog.SetDlgItemText(IDC_STATUS, "Passwort");
    TranslateWindowTexts(dialog);
    EXPECT_EQ(window->GetText(IDC_RECORDER_ADDRESS), "Passwort");
    EXPECT_EQ(window->GetText(IDC_STATUS), "Password") << "the status line is a static";
}

TEST_F(MainDialogTest, LongCaptionsAreCutTo259Bytes)
{
    CQuorvelDlg dialog;
    CHeadlessDialogWindow* window = backend.Open(dialog);
    ASSERT_NE(window, nullptr);
    dialog.SetWindowText(std::string(300, 'q'));
    dialog.SetDlgItemText(IDC_LABEL_STATUS, std::string(300, 's'));
    dialog.SetDlgItemText(IDC_RECORDER_ADDRESS, std::string(300, 'a'));
    // A cut that would split a two-byte character keeps the character out whole.
    dialog.SetDlgItemText(IDC_LABEL_PROGRESS, std::string(258, 'p') + "ää");
    TranslateWindowTexts(dialog);
    EXPECT_EQ(window->GetCaption(), std::string(259, 'q'));
    EXPECT_EQ(window->GetText(IDC_LABEL_STATUS), std::string(259, 's'));
    EXPECT_EQ(window->GetText(IDC_RECORDER_ADDRESS), std::string(300, 'a')) << "edit fields are left alone";
    EXPECT_EQ(window->GetText(IDC_LABEL_PROGRESS), std::string(258, 'p'));
}

TEST_F(MainDialogTest, SixLabelsAreDrawnWithTheirTextOnlyOverTheBackground)
{
    CQuorvelDlg dialog;
    CHeadlessDialogWindow* window = backend.Open(dialog);
    ASSERT_NE(window, nullptr);
    const int labels[] = {IDC_LABEL_ADDRESS,        IDC_LABEL_PASSWORD, IDC_LABEL_SOFTWARE,
                          IDC_LABEL_TEMP_DIRECTORY, IDC_LABEL_PROGRESS, IDC_LABEL_STATUS};
    for (int label : labels)
        EXPECT_TRUE(window->IsSubclassed(label)) << label;
    EXPECT_FALSE(window->IsSubclassed(IDC_STATUS)) << "the status line paints its own background";

    const std::vector<SPaintOperation> painted = window->Paint();
    ASSERT_FALSE(painted.empty());
    const SPaintOperation& background = painted.front();
    EXPECT_EQ(background.kind, SPaintOperation::EKind::DrawImage);
    EXPECT_EQ(background.controlId, 0);
    EXPECT_EQ(background.rect, (dialog.GetWindowRect())) << "the picture is as large as the whole window";

    std::vector<int> labelsDrawn;
    for (const SPaintOperation& operation : painted)
    {
        if (operation.controlId == 0)
        {
            EXPECT_EQ(operation.kind, SPaintOperation::EKind::DrawImage) << "nothing paints over the picture";
            continue;
        }
        EXPECT_EQ(operation.kind, SPaintOperation::EKind::DrawText)
            << operation.controlId << " fills nothing";
        EXPECT_TRUE(operation.transparent) << operation.controlId;
        EXPECT_NE(operation.font, nullptr) << "the label's own font is selected";
        EXPECT_EQ(operation.text, window->GetText(operation.controlId));
        EXPECT_EQ(operation.rect.left, 0);
        EXPECT_EQ(operation.rect.top, 0);
        labelsDrawn.push_back(operation.controlId);
    }
    EXPECT_EQ(labelsDrawn.size(), 6u);
}

TEST_F(MainDialogTest, TheBackgroundIsGeneratedForTheWholeWindow)
{
    CInspectableQuorvelDlg dialog;
    ASSERT_NE(backend.Open(dialog), nullptr);
    const SRect window = dialog.GetWindowRect();
    const CBackgroundBitmap& background = dialog.Background();
    EXPECT_EQ(background.GetWidth(), window.Width());
    EXPECT_EQ(background.GetHeight(), window.Height());

    // The same picture as the generator makes from the backend's colours with noise 8 and one
    // percent of blue 100.
    CBackgroundBitmap expected;
    CBackgroundGenerator::SColours colours;
    colours.shadow = backend.GetSystemColour(ESystemColour::ButtonShadow);
    colours.face = backend.GetSystemColour(ESystemColour::ButtonFace);
    colours.highlight = backend.GetSystemColour(ESystemColour::ButtonHighlight);
    ASSERT_TRUE(
        CBackgroundGenerator::Generate(expected, window.Width(), window.Height(), colours, 8, 1, 0x640000));
    ASSERT_EQ(background.GetBlockSize(), expected.GetBlockSize());
    EXPECT_EQ(std::memcmp(background.GetBlock(), expected.GetBlock(), expected.GetBlockSize()), 0);
}

TEST_F(MainDialogTest, TheBackgroundFollowsTheSystemColours)
{
    backend.SetSystemColour(ESystemColour::ButtonShadow, SRgbColour{128, 128, 128});
    backend.SetSystemColour(ESystemColour::ButtonFace, SRgbColour{192, 192, 192});
    backend.SetSystemColour(ESystemColour::ButtonHighlight, SRgbColour{255, 255, 255});
    CInspectableQuorvelDlg dialog;
    ASSERT_NE(backend.Open(dialog), nullptr);
    // Entry 64 of the ramp is 160 grey; one percent towards blue 100 gives 158, 158, 159.
    EXPECT_EQ(dialog.Background().GetPaletteEntry(64), (SRgbColour{158, 158, 159}));
}

TEST_F(MainDialogTest, AMinimisedDialogShowsItsIconCentred)
{
    CQuorvelDlg dialog;
    CHeadlessDialogWindow* window = backend.Open(dialog);
    ASSERT_NE(window, nullptr);
    window->SetMinimised(true);
    const std::vector<SPaintOperation> painted = window->Paint();
    const SRect client = dialog.GetClientRect();
    const int iconSize = dialog.GetSystemIconWidth();
    bool iconDrawn = false;
    for (const SPaintOperation& operation : painted)
    {
        if (operation.kind != SPaintOperation::EKind::DrawIcon)
            continue;
        iconDrawn = true;
        EXPECT_EQ(operation.rect.left, (client.Width() - iconSize + 1) / 2);
        EXPECT_EQ(operation.rect.top, (client.Height() - iconSize + 1) / 2);
        EXPECT_EQ(operation.rect.Width(), iconSize);
    }
    EXPECT_TRUE(iconDrawn);
}

TEST_F(MainDialogTest, TheApplicationRunsTheDialogModallyAndThenEnds)
{
    CWinApp* application = CWinApp::GetApp();
    ASSERT_NE(application, nullptr) << "the application object exists before any test runs";
    CDialog* mainWindowDuringRun = nullptr;
    backend.AddStep(
        [&mainWindowDuringRun, application](CHeadlessDialogWindow& w)
        {
            mainWindowDuringRun = application->m_pMainWnd;
            EXPECT_EQ(&w.GetDialog(), mainWindowDuringRun);
            EXPECT_EQ(w.GetCaption(), "Quorvel V1.0");
            w.PressEscape();
        });
    EXPECT_FALSE(application->InitInstance()) << "no message loop of the framework's own follows";
    EXPECT_NE(mainWindowDuringRun, nullptr);
    EXPECT_EQ(backend.GetPendingStepCount(), 0u);
}

struct STemplateRow
{
    int id;
    EControlKind kind;
    const char* text;
    int x, y, width, height;
    // The one style that sets the control apart, if any.
    unsigned style;
};

void ExpectTemplate(const CResourceTable& resources, int templateId, const char* caption, int width,
                    int height, const std::vector<STemplateRow>& rows)
{
    const SDialogTemplate* found = resources.FindDialog(templateId);
    ASSERT_NE(found, nullptr) << templateId;
    EXPECT_STREQ(found->caption, caption);
    EXPECT_EQ(found->width, width);
    EXPECT_EQ(found->height, height);
    EXPECT_STREQ(found->fontName, "MS Sans Serif");
    EXPECT_EQ(found->fontPoints, 8);
    ASSERT_EQ(found->controlCount, static_cast<int>(rows.size()));
    for (size_t index = 0; index < rows.size(); ++index)
    {
        const SControlTemplate& control = found->controls[index];
        const STemplateRow& row = rows[index];
        SCOPED_TRACE("control " + std::to_string(index) + " of template " + std::to_string(templateId));
        EXPECT_EQ(control.id, row.id);
        EXPECT_EQ(control.kind, row.kind);
        EXPECT_STREQ(control.text, row.text);
        EXPECT_EQ((std::vector<int>{control.x, control.y, control.width, control.height}),
                  (std::vector<int>{row.x, row.y, row.width, row.height}));
        if (row.style != StyleNone)
        {
            EXPECT_TRUE(control.HasStyle(row.style));
        }
    }
}

// Position, size, text and order (which is the tab order) of every control of both templates.
TEST_F(MainDialogTest, TemplatesHoldTheirControlsInOrderWithTheirTextsAndRectangles)
{
    using K = EControlKind;
    ExpectTemplate(AppResources(), IDD_QUORVEL_DIALOG, "Quorvel V1.0", 320, 165,
                   {
                       {1010, K::Label, "Recorder TCP/IP Addresse", 7, 14, 110, 8, StyleNone},
                       {1001, K::Edit, "", 125, 11, 188, 14, StyleAutoHScroll},
                       {1011, K::Label, "Passwort", 7, 29, 110, 8, StyleNone},
                       {1002, K::Edit, "", 125, 26, 188, 14, StylePassword},
                       {1012, K::Label, "Software herunterladen", 7, 53, 110, 8, StyleNone},
                       {1003, K::CheckBox, "Varnox", 125, 52, 55, 10, StyleAutoCheck},
                       {1004, K::CheckBox, "Kellid", 125, 61, 55, 10, StyleAutoCheck},
                       {1013, K::Label, "Temporäres Verzeichnis", 7, 85, 110, 8, StyleNone},
                       {1008, K::Edit, "", 125, 82, 163, 14, StyleAutoHScroll},
                       {1009, K::PushButton, "...", 293, 82, 20, 14, StyleNone},
                       {1014, K::Label, "Fortschritt", 7, 110, 110, 8, StyleNone},
                       {1005, K::ProgressBar, "", 125, 107, 188, 14, StyleBorder},
                       {1015, K::Label, "Status", 7, 127, 110, 8, StyleNone},
                       {1006, K::Label, "", 125, 125, 188, 12, StyleSunken},
                       {1007, K::PushButton, "Herunterladen", 125, 144, 67, 14, StyleNone},
                       {IdCancel, K::PushButton, "Schliessen", 263, 144, 50, 14, StyleDefault},
                   });
    ExpectTemplate(
        AppResources(), IDD_ABOUTBOX, "Info über Quorvel", 235, 55,
        {
            {IdStatic, K::Icon, "128", 11, 17, 20, 20, StyleNone},
            {IdStatic, K::Label, "Quorvel Version 1.0.1", 40, 10, 119, 8, StyleNone},
            {IdStatic, K::Label, "Copyright (C) 2026 Quorvel developers", 40, 25, 188, 8, StyleNone},
            {IdOk, K::PushButton, "OK", 178, 7, 50, 14, StyleDefault},
        });
    EXPECT_STREQ(AppResources().LoadString(IDS_ABOUTBOX), "Inf&o über Quorvel...");
}

TEST_F(MainDialogTest, IdleTicksLeaveTheDialogAsItWas)
{
    CInspectableQuorvelDlg dialog;
    CHeadlessDialogWindow* window = backend.Open(dialog);
    ASSERT_NE(window, nullptr);
    for (int tick = 0; tick < 3; ++tick)
        EXPECT_EQ(window->Tick(), 1);
    EXPECT_TRUE(dialog.IsIdle());
    EXPECT_EQ(window->GetText(IDC_STATUS), "");
    EXPECT_TRUE(backend.GetMessageBoxes().empty());
}

} // namespace
