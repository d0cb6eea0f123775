#include "ui/win32/Win32Api.h"

#include "ScopedLanguage.h"
#include "ScratchDirectory.h"
#include "TestQuorvelDlg.h"
#include "Win32TestWindows.h"
#include "app/Resources.h"
#include "os/win32/WideText.h"
#include "ui/StandardIds.h"
#include "ui/win32/Win32Backend.h"

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

// A new picture reaches the screen at the next paint (the labels over it: main_dialog_screen_test.cpp).
TEST_F(Win32DialogTest, TheWindowShowsANewPictureAndMinimisedTheIconCentred)
{
    CTestQuorvelDlg dialog;
    ASSERT_TRUE(dialog.Create());
    const HWND window = ShownWindowOf(dialog);
    ASSERT_NE(window, nullptr);
    dialog.GenerateBackground(8, 50, 0x0000FF);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const CDialogRulesBackend::SPixels changed = ClientPixels(window);
    ASSERT_GT(changed.width, 2);
    const SRgbColour expected =
        dialog.Background().GetPaletteEntry(dialog.Background().GetPixels()[static_cast<size_t>(
            (dialog.Background().GetHeight() - 3) * dialog.Background().GetStride() + 2)]);
    EXPECT_EQ(changed.At(2, 2), expected);
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
    const CDialogRulesBackend::SPixels shot = ClientPixels(window);
    ASSERT_GT(shot.width, 0);
    const int x = (shot.width - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (shot.height - GetSystemMetrics(SM_CYICON) + 1) / 2;
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
    const auto item =
        reinterpret_cast<HTREEITEM>(tree != nullptr ? SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) : 0);
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
    std::vector<std::string> chooserTitles;
    std::vector<std::string> fieldAfter;
    // The chooser open over the dialog, noted once; else null.
    const auto chooser = [&]()
    {
        const std::vector<HWND> open = OtherWindowsOfThisThread(ShownWindowOf(dialog));
        if (open.size() != 1)
            return HWND{nullptr};
        wchar_t title[256] = {};
        GetWindowTextW(open.front(), title, 256);
        if (chooserTitles.size() == fieldAfter.size())
            chooserTitles.push_back(os::Utf8Text(title));
        return open.front();
    };
    // Once the chooser has closed, what the field shows; then the next click on the button.
    const auto closedThenBrowse = [&](bool browse)
    {
        if (!OtherWindowsOfThisThread(ShownWindowOf(dialog)).empty())
            return false;
        if (!chooserTitles.empty())
            fieldAfter.push_back(dialog.GetDlgItemText(IDC_TEMP_DIRECTORY));
        const HWND window = ShownWindowOf(dialog);
        if (browse)
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_BROWSE, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_BROWSE)));
        else
            dialog.EndDialog(IdOk);
        return true;
    };
    const std::wstring path = os::WideText(chosen.c_str());
    const std::unique_ptr<CDialogRulesBackend> backend = MakeWin32RulesBackend();
    EXPECT_EQ(backend->RunModal(dialog,
                                {
                                    [&]() { return closedThenBrowse(true); },
                                    [&]()
                                    {
                                        const HWND open = chooser();
                                        return open != nullptr &&
                                               (PostMessageW(open, WM_COMMAND, IDCANCEL, 0), true);
                                    },
                                    [&]() { return closedThenBrowse(true); },
                                    // Confirmed only once the chooser shows the folder selected:
                                    // Wine's chooser does not always take the selection at once,
                                    // and confirmed early returns the one before.
                                    [&]()
                                    {
                                        const HWND open = chooser();
                                        if (open == nullptr)
                                            return false;
                                        if (SelectedFolderName(open) == L"chosen")
                                            return PostMessageW(open, WM_COMMAND, IDOK, 0), true;
                                        SendMessageW(open, BFFM_SETSELECTIONW, TRUE,
                                                     reinterpret_cast<LPARAM>(path.c_str()));
                                        return false;
                                    },
                                    [&]() { return closedThenBrowse(false); },
                                }),
              IdOk);
    EXPECT_EQ(fieldAfter, (std::vector<std::string>{"C:\\Temp", chosen}));
    EXPECT_EQ(dialog.TempDir(), chosen);
    EXPECT_EQ(chooserTitles.size(), 2u);
}

} // namespace
