#include "DemoBoxHook.h"

#include "DemoDialog.h"
#include "DemoTranscript.h"

#include <wx/msgdlg.h>

CDemoBoxHook::CDemoBoxHook(CDemoDialog& dialog, CDemoTranscript& transcript)
    : m_dialog(dialog), m_transcript(transcript)
{
}

int CDemoBoxHook::Enter(wxDialog* dialog)
{
    auto* box = dynamic_cast<wxMessageDialog*>(dialog);
    // The main dialog and the about box are modal too; only message boxes are answered.
    if (box == nullptr)
        return wxID_NONE;
    // What the status line says while the box is up, e.g. the reason of a failure.
    m_dialog.NoteStatus();
    const std::string text = box->GetMessage().utf8_string();
    m_texts.push_back(text);
    m_transcript.Line("message box", text);
    m_openBox = box;
    return wxID_NONE;
}

void CDemoBoxHook::Exit(wxDialog* dialog)
{
    if (dialog == m_openBox)
        m_openBox = nullptr;
}
