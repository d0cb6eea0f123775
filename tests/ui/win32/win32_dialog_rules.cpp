#include "ui/win32/Win32Api.h"

#include "DialogRulesBackend.h"
#include "OperatorInput.h"
#include "StepScript.h"
#include "Win32TestWindows.h"
#include "ui/Dialog.h"
#include "ui/win32/Win32Backend.h"
#include "ui/win32/Win32DialogWindow.h"

namespace
{

// The steps that run now, with their dialog: a thread timer's procedure learns nothing but the
// timer's id.
struct SRunningSteps
{
    CStepScript script;
    CDialog& dialog;
};
SRunningSteps* g_running = nullptr;

// Every message loop of the thread runs the steps, also the nested loops of message boxes, the
// folder browser and other modal dialogs.
void CALLBACK AttemptStep(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (g_running != nullptr && g_running->script.Attempt() == CStepScript::EAttempt::GaveUp)
    {
        KillTimer(nullptr, timer);
        g_running->dialog.EndDialog(-5);
    }
}

// The real window under Wine, run by the system's dialog manager and driven through the system's
// input queue once it is the foreground window.
class CWin32RulesBackend : public CDialogRulesBackend
{
public:
    static constexpr UINT PeriodMilliseconds = 50;
    static constexpr int MaxAttempts = 400;

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
        SRunningSteps running{CStepScript(std::move(steps), MaxAttempts), dialog};
        g_running = &running;
        const UINT_PTR timer = SetTimer(nullptr, 0, PeriodMilliseconds, AttemptStep);
        const int result = dialog.DoModal();
        KillTimer(nullptr, timer);
        g_running = nullptr;
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

    // Painted at once.
    bool Repainted(const CDialog& dialog) override
    {
        return RedrawWindow(ShownWindowOf(dialog), nullptr, nullptr,
                            RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW) != FALSE;
    }
    SPixels ShownPixels(const CDialog& dialog) const override { return ClientPixels(ShownWindowOf(dialog)); }
    unsigned BackgroundConversions(const CDialog& dialog) const override
    {
        return dynamic_cast<const CWin32DialogWindow&>(*dialog.GetWindow()).GetBackgroundConversionCount();
    }
};

} // namespace

// Without the common controls every dialog fails to open, and the test with it.
std::unique_ptr<CDialogRulesBackend> MakeWin32RulesBackend()
{
    StartedBackend();
    return std::make_unique<CWin32RulesBackend>();
}

INSTANTIATE_TEST_SUITE_P(, DialogRules,
                         ::testing::Values(CDialogRulesBackend::SKind{"win32", &MakeWin32RulesBackend}));
