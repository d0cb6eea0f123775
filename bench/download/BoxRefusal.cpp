#include "BoxRefusal.h"

#include <wx/msgdlg.h>

int CBoxRefusal::Enter(wxDialog* dialog)
{
    auto* box = dynamic_cast<wxMessageDialog*>(dialog);
    // The main dialog is modal too, and is shown as usual.
    if (box == nullptr)
        return wxID_NONE;
    // Only the setup question asks Yes or No.
    if ((box->GetMessageDialogStyle() & wxYES_NO) != 0)
    {
        ++m_setupQuestions;
        return wxID_NO;
    }
    ++m_unexpected;
    if (m_onUnexpected)
        m_onUnexpected(box->GetMessage().utf8_string());
    return wxID_CANCEL;
}
