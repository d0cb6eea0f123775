#include "DemoDialog.h"

#include "DemoTranscript.h"
#include "app/Resources.h"

CDemoDialog::CDemoDialog(int recorderPort, CDemoTranscript& transcript) : m_transcript(transcript)
{
    m_session.SetPort(recorderPort);
}

void CDemoDialog::NoteStatus()
{
    const std::string status = GetDlgItemText(IDC_STATUS);
    if (status == m_notedStatus)
        return;
    m_notedStatus = status;
    m_statusHistory.push_back(status);
    m_transcript.Line("status line", status.empty() ? "(empty)" : status);
}

void CDemoDialog::OnTimer(unsigned id)
{
    CQuorvelDlg::OnTimer(id);
    NoteStatus();
}

bool CDemoDialog::HasShownStatusStartingWith(const std::string& prefix) const
{
    for (const std::string& status : m_statusHistory)
    {
        if (status.rfind(prefix, 0) == 0)
            return true;
    }
    return false;
}
