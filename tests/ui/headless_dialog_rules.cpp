#include "DialogRulesBackend.h"
#include "StepScript.h"
#include "ui/Dialog.h"
#include "ui/headless/HeadlessBackend.h"
#include "ui/headless/HeadlessDialogWindow.h"

#include <deque>

namespace
{

// The headless backend in process. Its modal loop takes one turn per scripted step: the operator's
// input first, as a toolkit's queue delivers it, else the next step, else a round of ticks.
class CHeadlessRulesBackend : public CDialogRulesBackend
{
public:
    static constexpr int MaxAttempts = 200;

    CHeadlessRulesBackend()
    {
        m_backend.SetFailureHandler([](const std::string& message) { ADD_FAILURE() << message; });
        // Enough rounds of a box's own loop for the operator to answer it from inside.
        m_backend.SetTicksPerMessageBox(25);
    }

    int RunModal(CDialog& dialog, std::vector<Step> steps) override
    {
        CStepScript script(std::move(steps), MaxAttempts);
        std::function<void(CHeadlessDialogWindow&)> turn = [&](CHeadlessDialogWindow& window)
        {
            if (!m_input.empty())
            {
                const Input input = std::move(m_input.front());
                m_input.pop_front();
                input(window);
            }
            else if (const CStepScript::EAttempt attempt = script.Attempt();
                     attempt == CStepScript::EAttempt::GaveUp)
                window.EndModal(-5);
            else if (attempt == CStepScript::EAttempt::Waiting)
                window.Tick();
            if (!window.IsEnded())
                m_backend.AddStep(turn);
        };
        m_backend.AddStep(turn);
        const int result = dialog.DoModal();
        m_input.clear();
        return result;
    }

    void Click(const CDialog&, int id) override
    {
        m_input.push_back([id](CHeadlessDialogWindow& window) { window.Click(id); });
    }
    void Type(const CDialog&, int id, const std::string& text) override
    {
        m_input.push_back([id, text](CHeadlessDialogWindow& window) { window.Type(id, text); });
    }
    void Press(EKey key) override
    {
        m_input.push_back([key](CHeadlessDialogWindow& window)
                          { key == EKey::Escape ? window.PressEscape() : window.PressEnter(); });
    }
    void PressCloseBox(const CDialog&) override
    {
        m_input.push_back([](CHeadlessDialogWindow& window) { window.PressClose(); });
    }
    // The box takes its scripted answer once its rounds of ticks are over.
    bool AnswerMessageBox(const CDialog&) override
    {
        m_backend.QueueAnswer(EMessageBoxResult::Ok);
        return true;
    }
    int ShownPercent(const CDialog& dialog, int id) const override
    {
        const CHeadlessDialogWindow& window = *CHeadlessBackend::WindowOf(dialog);
        const int range = window.GetProgressUpper(id) - window.GetProgressLower(id);
        return range > 0 ? (window.GetProgressPosition(id) - window.GetProgressLower(id)) * 100 / range : 0;
    }

private:
    using Input = std::function<void(CHeadlessDialogWindow&)>;

    CHeadlessBackend m_backend;
    std::deque<Input> m_input;
};

std::unique_ptr<CDialogRulesBackend> MakeHeadless()
{
    return std::make_unique<CHeadlessRulesBackend>();
}

INSTANTIATE_TEST_SUITE_P(, DialogRules,
                         ::testing::Values(CDialogRulesBackend::SKind{"headless", &MakeHeadless}));

} // namespace
