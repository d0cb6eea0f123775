#include "DialogRulesBackend.h"
#include "StepScript.h"
#include "WxTestWindows.h"
#include "ui/Dialog.h"
#include "ui/wx/WxBackend.h"
#include "ui/wx/WxDialogWindow.h"

#include <wx/evtloop.h>
#include <wx/gauge.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <cstdio>
#include <cstdlib>

namespace
{

// Ends the modal dialog opened last, whose loop is the one that runs now.
void EndInnermostModalDialog()
{
    for (auto node = wxTopLevelWindows.GetLast(); node; node = node->GetPrevious())
    {
        auto* dialog = dynamic_cast<wxDialog*>(node->GetData());
        if (dialog != nullptr && dialog->IsModal())
            return dialog->EndModal(wxID_CANCEL);
    }
}

// Attempts the steps from a toolkit timer, so that they go on inside nested loops (menus, message
// boxes, other modal dialogs). After a give-up the dialog is ended only from the loop in which the
// steps began, since the toolkit ends a modal dialog only from its own loop: what runs on top of it
// is closed first, innermost first. Should the loops still not end, the program stops with a
// failure rather than hang.
class CStepTimer : public wxTimer
{
public:
    static constexpr int PeriodMilliseconds = 100;
    static constexpr int MaxAttempts = 100;
    static constexpr int MaxUnwindAttempts = 50;

    CStepTimer(std::vector<CDialogRulesBackend::Step> steps, CDialog& dialog)
        : m_script(std::move(steps), MaxAttempts), m_dialog(dialog)
    {
        Start(PeriodMilliseconds);
    }
    void Notify() override
    {
        if (m_ownLoop == nullptr)
            m_ownLoop = wxEventLoopBase::GetActive();
        if (m_script.Attempt() != CStepScript::EAttempt::GaveUp)
            return;
        if (++m_unwindAttempts > MaxUnwindAttempts)
        {
            const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
            std::fprintf(
                stderr, "%s.%s: the window's loops did not end after the scripted steps gave up; stopping.\n",
                test != nullptr ? test->test_suite_name() : "?", test != nullptr ? test->name() : "?");
            std::fflush(stderr);
            std::_Exit(EXIT_FAILURE);
        }
        if (wxEventLoopBase::GetActive() != m_ownLoop)
            EndInnermostModalDialog();
        else if (!m_endAsked)
            m_endAsked = true, m_dialog.EndDialog(-5);
        else
            // Still here: a popup menu, which keeps the keyboard, or a native message box, which
            // takes the program's keys, runs a loop that is not the toolkit's own. Escape closes either.
            wxUIActionSimulator().Char(WXK_ESCAPE);
    }

private:
    CStepScript m_script;
    CDialog& m_dialog;
    // The toolkit's event loop that ran the first attempt: the one the tested dialog runs.
    wxEventLoopBase* m_ownLoop = nullptr;
    int m_unwindAttempts = 0;
    bool m_endAsked = false;
};

// The real wx window on the test's own virtual display, driven through the toolkit's input
// simulation once the window has the pointer: without a window manager the keyboard follows the
// pointer, and input sent before the display server has put the window on the screen lands
// elsewhere, which the window's own report of the pointer rules out.
class CWxRulesBackend : public CDialogRulesBackend
{
public:
    int RunModal(CDialog& dialog, std::vector<Step> steps) override
    {
        steps.insert(steps.begin(),
                     [&]()
                     {
                         wxDialog* native = ShownNativeDialog(dialog);
                         return native != nullptr && PointerReached(*native);
                     });
        CStepTimer timer(std::move(steps), dialog);
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

    bool Repainted(const CDialog& dialog) override
    {
        wxDialog* native = ShownNativeDialog(dialog);
        if (native != m_counted)
        {
            m_counted = native;
            native->Bind(wxEVT_PAINT, [paints = m_paints](wxPaintEvent& event) { ++*paints, event.Skip(); });
        }
        if (m_paintsAsked < 0)
            return m_paintsAsked = *m_paints, native->Refresh(), false;
        return *m_paints > m_paintsAsked && (m_paintsAsked = -1, true);
    }
    SPixels ShownPixels(const CDialog& dialog) const override
    {
        const wxImage shot = CaptureClientArea(*ShownNativeDialog(dialog));
        SPixels pixels{shot.GetWidth(), shot.GetHeight(), {}};
        const unsigned char* rgb = shot.GetData();
        for (int pixel = 0; pixel < pixels.width * pixels.height; ++pixel, rgb += 3)
            pixels.rgb.push_back(SRgbColour{rgb[0], rgb[1], rgb[2]});
        return pixels;
    }
    unsigned BackgroundConversions(const CDialog& dialog) const override
    {
        return WxWindowOf(dialog)->GetBackgroundConversionCount();
    }

private:
    // Shared with the window's handlers, which may outlive this object.
    std::shared_ptr<bool> m_pointerReported;
    std::shared_ptr<int> m_paints = std::make_shared<int>(0);
    wxWindow* m_pointerWindow = nullptr;
    int m_moves = 0;
    wxDialog* m_counted = nullptr;
    int m_paintsAsked = -1;

    // Moves the pointer onto a spot of the background until the window reports it; alternate calls
    // move it from the neighbouring pixel, so that each call is a motion.
    bool PointerReached(wxWindow& window)
    {
        if (m_pointerWindow != &window)
        {
            m_pointerWindow = &window;
            m_pointerReported = std::make_shared<bool>(false);
            // An entry is reported when the window appears under a pointer that rests.
            auto report = [reported = m_pointerReported](wxMouseEvent& event)
            {
                *reported = true;
                event.Skip();
            };
            window.Bind(wxEVT_MOTION, report);
            window.Bind(wxEVT_ENTER_WINDOW, report);
        }
        if (!*m_pointerReported)
            wxUIActionSimulator().MouseMove(window.ClientToScreen(wxPoint(2 + m_moves++ % 2, 2)));
        return *m_pointerReported;
    }
};

} // namespace

// Without the toolkit every dialog fails to open, and the test with it.
std::unique_ptr<CDialogRulesBackend> MakeWxRulesBackend()
{
    StartedBackend();
    return std::make_unique<CWxRulesBackend>();
}

INSTANTIATE_TEST_SUITE_P(, DialogRules,
                         ::testing::Values(CDialogRulesBackend::SKind{"wx", &MakeWxRulesBackend}));
