#pragma once

#include <functional>
#include <string>

#include <wx/modalhook.h>

// Answers every message box before it is shown: "No" to the question whether to run the saved
// setup, so that nothing is started and the dialog goes back to idle. Any other box means the
// download went wrong; its text goes to the handler.
class CBoxRefusal : public wxModalDialogHook
{
public:
    using UnexpectedHandler = std::function<void(const std::string& text)>;

    void SetUnexpectedHandler(UnexpectedHandler handler) { m_onUnexpected = std::move(handler); }
    int SetupQuestions() const { return m_setupQuestions; }
    int UnexpectedBoxes() const { return m_unexpected; }

protected:
    int Enter(wxDialog* dialog) override;
    void Exit(wxDialog*) override {}

private:
    UnexpectedHandler m_onUnexpected;
    int m_setupQuestions = 0;
    int m_unexpected = 0;
};
