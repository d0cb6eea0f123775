#include "DialogRulesBackend.h"
#include "PointerPlacement.h"
#include "ScriptedSteps.h"
#include "WxTestWindows.h"
#include "ui/Dialog.h"
#include "ui/wx/WxBackend.h"
#include "ui/wx/WxDialogWindow.h"

#include <wx/gauge.h>
#include <wx/uiaction.h>

namespace
{

// The real wx window on the test's own virtual display, driven through the toolkit's input
// simulation once the window has the pointer (and with it, without a window manager, the keyboard).
class CWxRulesBackend : public CDialogRulesBackend
{
public:
    int RunModal(CDialog& dialog, std::vector<Step> steps) override
    {
        CPointerPlacement pointer;
        steps.insert(steps.begin(),
                     [&]()
                     {
                         wxDialog* native = ShownNativeDialog(dialog);
                         return native != nullptr && pointer.Reached(*native);
                     });
        CScriptedSteps script(std::move(steps), [&dialog]() { dialog.EndDialog(-5); });
        script.Begin();
        return dialog.DoModal();
    }

    void Click(const CDialog& dialog, int id) override
    {
        CWxDialogWindow* window = WxWindowOf(dialog);
        const SRect rect = window->GetControlRect(window->FindControl(id));
        wxUIActionSimulator simulator;
        simulator.MouseMove(window->GetNativeDialog()->ClientToScreen(
            wxPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2)));
        simulator.MouseClick();
    }
    void Type(const CDialog& dialog, int id, const std::string& text) override
    {
        Click(dialog, id);
        wxUIActionSimulator().Text(text.c_str());
    }
    void Press(EKey key) override
    {
        wxUIActionSimulator().Char(key == EKey::Escape ? WXK_ESCAPE : WXK_RETURN);
    }
    // What the window manager's close request becomes.
    void PressCloseBox(const CDialog& dialog) override { ShownNativeDialog(dialog)->Close(); }
    // The box has the keyboard; Enter is its OK.
    bool AnswerMessageBox(const CDialog&) override
    {
        wxUIActionSimulator().Char(WXK_RETURN);
        return true;
    }
    int ShownPercent(const CDialog& dialog, int id) const override
    {
        CWxDialogWindow* window = WxWindowOf(dialog);
        const auto* gauge = dynamic_cast<wxGauge*>(window->GetControlWindow(window->FindControl(id)));
        return gauge != nullptr && gauge->GetRange() > 0 ? gauge->GetValue() * 100 / gauge->GetRange() : -1;
    }
};

// Without the toolkit every dialog fails to open, and the test with it.
std::unique_ptr<CDialogRulesBackend> MakeWx()
{
    StartedBackend();
    return std::make_unique<CWxRulesBackend>();
}

INSTANTIATE_TEST_SUITE_P(, DialogRules, ::testing::Values(CDialogRulesBackend::SKind{"wx", &MakeWx}));

} // namespace
