#include "ScriptedSteps.h"

#include <gtest/gtest.h>

#include <wx/dialog.h>
#include <wx/evtloop.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>

#include <cstdio>
#include <cstdlib>

namespace
{

// Ends the modal dialog opened last, whose loop is the one that runs now.
void EndInnermostModalDialog()
{
    for (wxWindowList::compatibility_iterator node = wxTopLevelWindows.GetLast(); node;
         node = node->GetPrevious())
    {
        auto* dialog = dynamic_cast<wxDialog*>(node->GetData());
        if (dialog != nullptr && dialog->IsModal())
        {
            dialog->EndModal(wxID_CANCEL);
            return;
        }
    }
}

} // namespace

CScriptedSteps::CScriptedSteps(std::vector<std::function<bool()>> steps, std::function<void()> giveUp)
    : m_steps(std::move(steps)), m_giveUp(std::move(giveUp))
{
}

void CScriptedSteps::Notify()
{
    if (m_ownLoop == nullptr)
        m_ownLoop = wxEventLoopBase::GetActive();
    if (m_gaveUp)
    {
        Unwind();
        return;
    }
    if (++m_attempts > MaxAttempts)
    {
        m_gaveUp = true;
        if (m_next < m_steps.size())
            ADD_FAILURE() << "the scripted steps gave up waiting at step " << m_next + 1 << " of "
                          << m_steps.size();
        else
            ADD_FAILURE() << "the scripted steps are done, but the loop they ran in did not end";
        Unwind();
        return;
    }
    if (m_next < m_steps.size() && m_steps[m_next]())
    {
        ++m_next;
        m_attempts = 0;
    }
}

void CScriptedSteps::Unwind()
{
    if (++m_unwindAttempts > MaxUnwindAttempts)
    {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::fprintf(stderr,
                     "%s.%s: the window's loops did not end after the scripted steps gave up; stopping.\n",
                     test != nullptr ? test->test_suite_name() : "?", test != nullptr ? test->name() : "?");
        std::fflush(stderr);
        std::_Exit(EXIT_FAILURE);
    }
    if (wxEventLoopBase::GetActive() != m_ownLoop)
    {
        EndInnermostModalDialog();
    }
    else if (!m_giveUpCalled)
    {
        m_giveUpCalled = true;
        m_giveUp();
    }
    else
    {
        // Still here after the give-up: a popup menu, which keeps the keyboard, or a native message
        // box, which takes the program's keys, runs a loop that is not the toolkit's own. Escape
        // closes either.
        wxUIActionSimulator().Char(WXK_ESCAPE);
    }
}
