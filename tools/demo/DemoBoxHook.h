#pragma once

#include <string>
#include <vector>

#include <wx/modalhook.h>

class CDemoDialog;
class CDemoTranscript;
class wxMessageDialog;

// Sees every message box before it opens: its text goes into the transcript (after the status
// line of that moment) and it is kept as the box waiting for an answer until it closes.
class CDemoBoxHook : public wxModalDialogHook
{
public:
    CDemoBoxHook(CDemoDialog& dialog, CDemoTranscript& transcript);

    // The message box on the screen, or null.
    wxMessageDialog* OpenBox() const { return m_openBox; }
    const std::vector<std::string>& Texts() const { return m_texts; }

protected:
    int Enter(wxDialog* dialog) override;
    void Exit(wxDialog* dialog) override;

private:
    CDemoDialog& m_dialog;
    CDemoTranscript& m_transcript;
    wxMessageDialog* m_openBox = nullptr;
    std::vector<std::string> m_texts;
};
