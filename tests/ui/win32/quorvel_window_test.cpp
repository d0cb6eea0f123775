#include "OperatorInput.h"
#include "WindowProgram.h"
#include "os/win32/WideText.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

namespace
{

const std::wstring MainCaption = L"Quorvel V1.0";

struct SExpectedControl
{
    int id;
    const wchar_t* className;
    const char* english;
    const char* german;
};

// The main dialog's controls in template order.
const SExpectedControl MainControls[] = {
    {1010, L"STATIC", "Recorder TCP/IP address", "Recorder TCP/IP Addresse"},
    {1001, L"EDIT", "", ""},
    {1011, L"STATIC", "Password", "Passwort"},
    {1002, L"EDIT", "", ""},
    {1012, L"STATIC", "Download software", "Software herunterladen"},
    {1003, L"BUTTON", "Varnox", "Varnox"},
    {1004, L"BUTTON", "Kellid", "Kellid"},
    {1013, L"STATIC", "Temporary directory", "Temporäres Verzeichnis"},
    {1008, L"EDIT", "C:\\Temp", "C:\\Temp"},
    {1009, L"BUTTON", "...", "..."},
    {1014, L"STATIC", "Progress", "Fortschritt"},
    {1005, L"msctls_progress32", "", ""},
    {1015, L"STATIC", "Status", "Status"},
    {1006, L"STATIC", "", ""},
    {1007, L"BUTTON", "Download", "Herunterladen"},
    {2, L"BUTTON", "Close", "Schliessen"},
};

bool SystemLanguageIsGerman()
{
    return PRIMARYLANGID(GetSystemDefaultLangID()) == LANG_GERMAN;
}

// Quorvel.exe, started and shown.
class QuorvelWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_quorvel.IsStarted()) << "cannot start " << QUORVEL_EXE_PATH;
        m_window = m_quorvel.WaitForWindow(MainCaption);
        ASSERT_NE(m_window, nullptr) << "no window titled \"Quorvel V1.0\"";
    }

    bool EndsWithin(int timeoutMs) { return m_quorvel.Finish(timeoutMs) == 0; }

    // A point of the caption bar where the window reports its close box.
    POINT CloseBoxPoint() const
    {
        RECT rect{};
        GetWindowRect(m_window, &rect);
        for (int y = rect.top + 2; y < rect.top + 40; ++y)
        {
            for (int x = rect.right - 2; x > rect.right - 60; --x)
            {
                if (SendMessageW(m_window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE)
                    return POINT{x, y};
            }
        }
        return POINT{-1, -1};
    }

    CWindowProgram m_quorvel{QUORVEL_EXE_PATH, {}};
    HWND m_window = nullptr;
};

TEST_F(QuorvelWindow, ShowsItsControlsInTemplateOrderWithTheTemplateTabOrder)
{
    const std::vector<HWND> children = CWindowProgram::ChildrenOf(m_window);
    ASSERT_EQ(children.size(), std::size(MainControls));
    for (size_t index = 0; index < children.size(); ++index)
    {
        const SExpectedControl& expected = MainControls[index];
        EXPECT_EQ(GetDlgCtrlID(children[index]), expected.id) << index;
        EXPECT_EQ(_wcsicmp(CWindowProgram::ClassOf(children[index]).c_str(), expected.className), 0)
            << expected.id;
    }

    // The address field has the focus; Tab walks the tab stops in template order and wraps. Leaving
    // the directory field checks it, so the default directory must exist, as on most Windows PCs.
    CreateDirectoryW(L"C:\\Temp", nullptr);
    EXPECT_EQ(m_quorvel.FocusId(), 1001);
    std::vector<int> visited;
    for (int step = 0; step < 8; ++step)
    {
        COperatorInput::Press(VK_TAB);
        const int before = visited.empty() ? 1001 : visited.back();
        COperatorInput::WaitFor([&] { return m_quorvel.FocusId() != before; }, 2000);
        visited.push_back(m_quorvel.FocusId());
    }
    EXPECT_EQ(visited, (std::vector<int>{1002, 1003, 1004, 1008, 1009, 1007, 2, 1001}));

    // The artefact: the window as the screen shows it.
    EXPECT_TRUE(CWindowProgram::SaveScreenshot(m_window, os::WideText(QUORVEL_SCREENSHOT_PATH)));
}

// Run twice: in the English Windows of the test prefix, and with Windows' language German.
TEST_F(QuorvelWindow, CaptionsFollowTheSystemLanguage)
{
    const bool german = SystemLanguageIsGerman();
    const std::vector<HWND> children = CWindowProgram::ChildrenOf(m_window);
    ASSERT_EQ(children.size(), std::size(MainControls));
    for (size_t index = 0; index < children.size(); ++index)
    {
        const SExpectedControl& expected = MainControls[index];
        EXPECT_EQ(CWindowProgram::TextOf(children[index]),
                  os::WideText(german ? expected.german : expected.english))
            << expected.id;
    }
    EXPECT_EQ(CWindowProgram::TextOf(m_window), MainCaption);
}

TEST_F(QuorvelWindow, TheAboutEntryEndsTheSystemMenuAndOpensTheAboutBox)
{
    // Alt+Space opens the system menu on its first entry; Up wraps round to the last one.
    COperatorInput::PressWith(VK_MENU, VK_SPACE);
    COperatorInput::Press(VK_UP);
    COperatorInput::Press(VK_RETURN);
    const HWND about = m_quorvel.WaitForWindow(os::WideText("Info über Quorvel"), 10000);
    ASSERT_NE(about, nullptr) << "the last system-menu entry did not open the about box";
    EXPECT_NE(CWindowProgram::MessageOf(about).find(L"Quorvel Version 1.0.1"), std::wstring::npos);

    COperatorInput::Press(VK_ESCAPE);
    EXPECT_TRUE(COperatorInput::WaitFor([&] { return !IsWindow(about); }));
    EXPECT_TRUE(IsWindow(m_window)) << "Escape in the about box leaves the main window open";
}

TEST_F(QuorvelWindow, LeavingAMissingDirectoryShowsAMessageAndKeepsTheText)
{
    COperatorInput::ClickCentreOf(GetDlgItem(m_window, 1008));
    ASSERT_TRUE(COperatorInput::WaitFor([&] { return m_quorvel.FocusId() == 1008; }));
    COperatorInput::Press(VK_HOME);
    COperatorInput::PressWith(VK_SHIFT, VK_END);
    COperatorInput::Type(L"C:\\no\\such\\folder");
    COperatorInput::Press(VK_TAB);

    const HWND box = m_quorvel.WaitForWindow(L"Quorvel", 10000);
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_EQ(CWindowProgram::MessageOf(box), L"The selected directory does not exist!");
    COperatorInput::Press(VK_RETURN);
    EXPECT_TRUE(COperatorInput::WaitFor([&] { return !IsWindow(box); }));
    EXPECT_EQ(CWindowProgram::TextOf(GetDlgItem(m_window, 1008)), L"C:\\no\\such\\folder");
    EXPECT_TRUE(IsWindow(m_window));
}

class QuorvelCancelCommand : public QuorvelWindow, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(QuorvelCancelCommand, EndsTheProgramWhileIdle)
{
    const std::string command = GetParam();
    if (command == "Escape")
        COperatorInput::Press(VK_ESCAPE);
    else if (command == "Enter in the password field")
    {
        COperatorInput::Press(VK_TAB);
        ASSERT_TRUE(COperatorInput::WaitFor([&] { return m_quorvel.FocusId() == 1002; }));
        COperatorInput::Press(VK_RETURN);
    }
    else if (command == "the close box")
    {
        const POINT point = CloseBoxPoint();
        ASSERT_GE(point.x, 0) << "the window reports no close box";
        COperatorInput::Click(point);
    }
    else
        COperatorInput::ClickCentreOf(GetDlgItem(m_window, 2));
    EXPECT_TRUE(EndsWithin(10000)) << command;
}

INSTANTIATE_TEST_SUITE_P(Commands, QuorvelCancelCommand,
                         ::testing::Values("Escape", "Enter in the password field", "the close box",
                                           "a click on Close"));

} // namespace
