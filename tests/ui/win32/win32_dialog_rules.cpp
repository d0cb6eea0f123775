#include "ui/win32/Win32Api.h"

#include "DialogRulesBackend.h"
#include "OperatorInput.h"
#include "Win32ScriptedSteps.h"
#include "Win32TestWindows.h"
#include "ui/Dialog.h"
#include "ui/win32/Win32Backend.h"

namespace
{

// The real window under Wine, run by the system's dialog manager and driven through the system's
// input queue once it is the foreground window.
class CWin32RulesBackend : public CDialogRulesBackend
{
public:
    int RunModal(CDialog& dialog, std::vector<Step> steps) override
    {
        steps.insert(steps.begin(),
                     [&dialog]()
                     {
                         const HWND window = ShownWindowOf(dialog);
                         if (window != nullptr)
                             SetForegroundWindow(window);
                         return window != nullptr && GetForegroundWindow() == window;
                     });
        // The budget also runs out while the dialog does not end after the last step.
        steps.push_back([]() { return false; });
        CWin32ScriptedSteps script(std::move(steps), [&dialog]() { dialog.EndDialog(-5); });
        script.Begin();
        const int result = dialog.DoModal();
        EXPECT_NE(result, -5) << "the steps gave up";
        return result;
    }

    void Click(const CDialog& dialog, int id) override
    {
        COperatorInput::ClickCentreOf(GetDlgItem(ShownWindowOf(dialog), id));
    }
    void Type(const CDialog& dialog, int id, const std::string& text) override
    {
        Click(dialog, id);
        COperatorInput::Type(std::wstring(text.begin(), text.end()));
    }
    void Press(EKey key) override { COperatorInput::Press(key == EKey::Escape ? VK_ESCAPE : VK_RETURN); }
    // Alt+F4, which the system turns into the close box's command.
    void PressCloseBox(const CDialog&) override { COperatorInput::PressWith(VK_MENU, VK_F4); }
    bool AnswerMessageBox(const CDialog& dialog) override
    {
        const std::vector<HWND> open = OtherWindowsOfThisThread(ShownWindowOf(dialog));
        if (open.empty())
            return false;
        PostMessageW(open.front(), WM_COMMAND, IDOK, 0);
        return true;
    }
    int ShownPercent(const CDialog& dialog, int id) const override
    {
        const HWND bar = GetDlgItem(ShownWindowOf(dialog), id);
        PBRANGE range{};
        SendMessageW(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        const auto position = static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0));
        return range.iHigh > range.iLow ? (position - range.iLow) * 100 / (range.iHigh - range.iLow) : -1;
    }
};

// Without the common controls every dialog fails to open, and the test with it.
std::unique_ptr<CDialogRulesBackend> MakeWin32()
{
    StartedBackend();
    return std::make_unique<CWin32RulesBackend>();
}

INSTANTIATE_TEST_SUITE_P(, DialogRules, ::testing::Values(CDialogRulesBackend::SKind{"win32", &MakeWin32}));

} // namespace
