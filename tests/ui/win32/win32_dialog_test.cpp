#include "ui/win32/Win32Api.h"

#include "ScopedLanguage.h"
#include "ScratchDirectory.h"
#include "TestQuorvelDlg.h"
#include "Win32ScriptedSteps.h"
#include "Win32TestWindows.h"
#include "app/Resources.h"
#include "os/win32/WideText.h"
#include "ui/StandardIds.h"
#include "ui/win32/Win32Backend.h"
#include "ui/win32/Win32DialogWindow.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace
{

class Win32DialogTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(StartedBackend().IsStarted()); }

    CScopedLanguage m_language{CTextTranslator::LanguageEnglish};
};

CWin32DialogWindow* Win32WindowOf(const CDialog& dialog)
{
    return dynamic_cast<CWin32DialogWindow*>(dialog.GetWindow());
}

// The main dialog, made without a loop of its own and painted once.
HWND CreatePainted(CDialog& dialog)
{
    if (!dialog.Create())
        return nullptr;
    const HWND window = ShownWindowOf(dialog);
    if (window != nullptr)
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return window;
}

SRgbColour BackgroundAt(const CBackgroundBitmap& background, int x, int y)
{
    const uint8_t index =
        background.GetPixels()[static_cast<size_t>(background.GetHeight() - 1 - y) * background.GetStride() +
                               static_cast<size_t>(x)];
    return background.GetPaletteEntry(index);
}

SRgbColour FaceColour()
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    return SRgbColour{GetRValue(face), GetGValue(face), GetBValue(face)};
}

// Painted, then again after what a download does to the window and after the picture changes: the
// converted picture is reused until it changes.
TEST_F(Win32DialogTest, LabelsShowTheBackgroundPictureConvertedOncePerPictureAndTheStatusLineItsOwnFace)
{
    CTestQuorvelDlg dialog;
    const HWND window = CreatePainted(dialog);
    ASSERT_NE(window, nullptr);
    CWin32DialogWindow& native = *Win32WindowOf(dialog);
    const CClientPixels shot(window);
    ASSERT_TRUE(shot.IsRead());
    const CBackgroundBitmap& background = dialog.Background();

    // Every pixel of a label that is not its text is the picture's: the label fills nothing.
    for (const int id : {IDC_LABEL_ADDRESS, IDC_LABEL_PASSWORD, IDC_LABEL_SOFTWARE, IDC_LABEL_TEMP_DIRECTORY,
                         IDC_LABEL_PROGRESS, IDC_LABEL_STATUS})
    {
        const SRect label = native.GetControlRect(native.FindControl(id));
        int pixels = 0;
        int picture = 0;
        std::set<uint32_t> colours;
        for (int y = label.top; y < label.bottom; ++y)
        {
            for (int x = label.left; x < label.right; ++x)
            {
                ++pixels;
                const SRgbColour seen = shot.At(x, y);
                if (seen != BackgroundAt(background, x, y))
                    continue;
                ++picture;
                colours.insert(static_cast<uint32_t>(seen.red << 16 | seen.green << 8 | seen.blue));
            }
        }
        EXPECT_GT(picture, pixels * 7 / 10) << "label " << id << ": " << picture << " of " << pixels;
        EXPECT_GT(colours.size(), 2u) << "label " << id << " shows a plain fill";
        const int right = label.right - 2;
        const int middle = (label.top + label.bottom) / 2;
        EXPECT_EQ(shot.At(right, middle), BackgroundAt(background, right, middle)) << "label " << id;
    }

    // The status line is a plain static: inside its frame, its own face colour, where the picture
    // shows other colours.
    const SRect status = native.GetControlRect(native.FindControl(IDC_STATUS));
    int face = 0;
    int pictureDiffers = 0;
    int pixels = 0;
    for (int y = status.top + 3; y < status.bottom - 3; ++y)
    {
        for (int x = status.left + 3; x < status.right - 3; ++x)
        {
            ++pixels;
            face += shot.At(x, y) == FaceColour() ? 1 : 0;
            pictureDiffers += BackgroundAt(background, x, y) != FaceColour() ? 1 : 0;
        }
    }
    EXPECT_EQ(face, pixels);
    EXPECT_GT(pictureDiffers, pixels / 2);

    EXPECT_EQ(native.GetBackgroundConversionCount(), 1u);
    for (int percent = 10; percent <= 50; percent += 10)
    {
        dialog.SetProgressPos(IDC_PROGRESS, percent);
        dialog.SetDlgItemText(IDC_STATUS, "varnoxsetup.exe: " + std::to_string(percent));
        UpdateWindow(window);
    }
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_EQ(native.GetBackgroundConversionCount(), 1u) << "progress, status and whole repaints reuse it";
    dialog.GenerateBackground(8, 50, 0x0000FF);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_EQ(native.GetBackgroundConversionCount(), 2u);
    const CClientPixels changed(window);
    ASSERT_TRUE(changed.IsRead());
    EXPECT_EQ(changed.At(2, 2), BackgroundAt(dialog.Background(), 2, 2));
    dialog.DestroyWindow();
}

TEST_F(Win32DialogTest, TheMinimisedWindowShowsTheIconCentred)
{
    CTestQuorvelDlg dialog;
    const HWND window = CreatePainted(dialog);
    ASSERT_NE(window, nullptr);
    // The icon that the window offers for dragging while minimised is the application's.
    const auto dragIcon = reinterpret_cast<HICON>(SendMessageW(window, WM_QUERYDRAGICON, 0, 0));
    ASSERT_NE(dragIcon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(dragIcon, &info));
    BITMAP mask{};
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, GetSystemMetrics(SM_CXICON));
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);

    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(window));
    RECT client{};
    GetClientRect(window, &client);
    if (client.right < GetSystemMetrics(SM_CXICON) || client.bottom < GetSystemMetrics(SM_CYICON))
    {
        dialog.DestroyWindow();
        GTEST_SKIP() << "a minimised window has a client area of " << client.right << " x " << client.bottom
                     << " here, too small to paint an icon into";
    }
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const CClientPixels shot(window);
    ASSERT_TRUE(shot.IsRead());
    const int x = (shot.Width() - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (shot.Height() - GetSystemMetrics(SM_CYICON) + 1) / 2;
    std::set<uint32_t> colours;
    for (int row = y; row < y + GetSystemMetrics(SM_CYICON); ++row)
    {
        for (int column = x; column < x + GetSystemMetrics(SM_CXICON); ++column)
        {
            const SRgbColour seen = shot.At(column, row);
            colours.insert(static_cast<uint32_t>(seen.red << 16 | seen.green << 8 | seen.blue));
        }
    }
    EXPECT_GT(colours.size(), 4u) << "no icon in the middle of the minimised window";
    dialog.DestroyWindow();
}

// The last step of a script that waits for the dialog to end by itself, or for the script to give
// up.
bool WaitForTheEnd()
{
    return false;
}

// The name of the folder selected in a folder chooser's tree, empty when there is none.
std::wstring SelectedFolderName(HWND chooser)
{
    HWND tree = nullptr;
    EnumChildWindows(
        chooser,
        [](HWND child, LPARAM found) -> BOOL
        {
            wchar_t name[64] = {};
            GetClassNameW(child, name, 64);
            if (std::wstring(name) != WC_TREEVIEWW)
                return TRUE;
            *reinterpret_cast<HWND*>(found) = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&tree));
    if (tree == nullptr)
        return std::wstring();
    const auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (item == nullptr)
        return std::wstring();
    wchar_t text[MAX_PATH] = {};
    TVITEMW query{};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = MAX_PATH;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
    return text;
}

// The folder browser, opened by the browse button and answered by the operator: once cancelled,
// then with a folder chosen.
TEST_F(Win32DialogTest, TheBrowseButtonOpensTheFolderChooserWhichCanBeCancelledOrAnswered)
{
    CScratchDirectory scratch;
    const std::string chosen = scratch.MakeDirectory("chosen");
    CTestQuorvelDlg dialog;
    HWND window = nullptr;
    std::vector<std::string> chooserTitles;
    std::string fieldAfterCancel;
    std::string fieldAfterChoice;
    auto clickBrowse = [&]()
    {
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_BROWSE, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_BROWSE)));
        return true;
    };
    auto answerChooser = [&](bool choose)
    {
        const std::vector<HWND> open = OtherWindowsOfThisThread(window);
        if (open.size() != 1)
            return false;
        wchar_t title[256] = {};
        GetWindowTextW(open.front(), title, 256);
        chooserTitles.push_back(os::Utf8Text(title));
        if (choose)
        {
            const std::wstring path = os::WideText(chosen.c_str());
            SendMessageW(open.front(), BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(path.c_str()));
        }
        else
            PostMessageW(open.front(), WM_COMMAND, IDCANCEL, 0);
        return true;
    };
    auto closed = [&]() { return OtherWindowsOfThisThread(window).empty(); };
    CWin32ScriptedSteps steps(
        {
            [&]() { return (window = ShownWindowOf(dialog)) != nullptr; },
            clickBrowse,
            [&]() { return answerChooser(false); },
            [&]()
            {
                if (!closed())
                    return false;
                fieldAfterCancel = dialog.GetDlgItemText(IDC_TEMP_DIRECTORY);
                return clickBrowse();
            },
            [&]() { return answerChooser(true); },
            // Confirmed only once the chooser shows the folder selected: Wine's chooser does not
            // always take the selection at once, and confirmed early returns the one before.
            [&]()
            {
                const std::vector<HWND> open = OtherWindowsOfThisThread(window);
                if (open.size() != 1)
                    return false;
                if (SelectedFolderName(open.front()) != L"chosen")
                {
                    const std::wstring path = os::WideText(chosen.c_str());
                    SendMessageW(open.front(), BFFM_SETSELECTIONW, TRUE,
                                 reinterpret_cast<LPARAM>(path.c_str()));
                    return false;
                }
                PostMessageW(open.front(), WM_COMMAND, IDOK, 0);
                return true;
            },
            [&]()
            {
                if (!closed())
                    return false;
                fieldAfterChoice = dialog.GetDlgItemText(IDC_TEMP_DIRECTORY);
                dialog.EndDialog(IdOk);
                return true;
            },
            WaitForTheEnd,
        },
        [&dialog]() { dialog.EndDialog(-5); });
    steps.Begin();
    EXPECT_EQ(dialog.DoModal(), IdOk);
    EXPECT_EQ(fieldAfterCancel, "C:\\Temp");
    EXPECT_EQ(fieldAfterChoice, chosen);
    EXPECT_EQ(dialog.TempDir(), chosen);
    ASSERT_EQ(chooserTitles.size(), 2u);
}

} // namespace
