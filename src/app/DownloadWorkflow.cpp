#include "app/QuorvelDlg.h"

#include "app/ProgressReport.h"
#include "app/Resources.h"
#include "app/SetupFileStore.h"
#include "app/SetupPackages.h"
#include "app/StatusTable.h"
#include "os/Paths.h"
#include "protocol/EventRecords.h"
#include "support/TextTranslator.h"
#include "ui/StandardIds.h"

#include <string>

namespace
{

// The check box of each package, in the packages' order (which is also the order of fetching).
const int PackageCheckBoxes[] = {IDC_VARNOX, IDC_KELLID};
static_assert(sizeof PackageCheckBoxes / sizeof PackageCheckBoxes[0] == CSetupPackages::Count,
              "one check box per package");

// Disabled while a download runs and enabled again afterwards, in this order. The browse button
// stays usable throughout.
const int DownloadLockedControls[] = {IDC_RECORDER_ADDRESS, IDC_PASSWORD, IDC_TEMP_DIRECTORY,
                                      IDC_DOWNLOAD,         IDC_KELLID,   IDC_VARNOX};

const char* Translated(const char* german)
{
    return g_translator.Translate(german);
}

// Messages name the file at the head of the list; outside a download there is none to name.
const char* HeadName(const std::list<SFileEntry>& pendingFiles)
{
    return pendingFiles.empty() ? "" : pendingFiles.front().name.GetText();
}

} // namespace

void CQuorvelDlg::OnDownload()
{
    m_pendingFiles.clear();
    m_downloadedFiles.clear();
    SetProgressPos(IDC_PROGRESS, 0);

    // Not validated here: leaving the field checks it, and saving reports what still fails.
    m_tempDir = GetDlgItemText(IDC_TEMP_DIRECTORY).c_str();
    const char separator[] = {os::PathSeparator(), '\0'};
    const int32_t directoryLength = m_tempDir.GetLength();
    if (directoryLength > 0 && m_tempDir[directoryLength - 1] != separator[0])
        m_tempDir.Append(separator);

    for (int index = 0; index < CSetupPackages::Count; ++index)
    {
        SFileEntry entry;
        entry.name = CSetupPackages::All[index].setupFileName;
        entry.localPath = m_tempDir + entry.name;
        if (IsDlgButtonChecked(PackageCheckBoxes[index]))
            m_pendingFiles.push_back(entry);
    }

    const std::string address = GetDlgItemText(IDC_RECORDER_ADDRESS);
    const std::string password = GetDlgItemText(IDC_PASSWORD);

    SetDlgItemText(IdCancel, Translated("Abbrechen"));
    m_idle = false;
    for (int id : DownloadLockedControls)
        EnableDlgItem(id, false);

    // Shown by the next tick, before anything the session reports.
    m_events.Post(StatusEvent, StatusCode(EStatus::Connecting), 0, nullptr);
    m_session.Connect(address.c_str(), password.c_str(), "", &m_events);
}

void CQuorvelDlg::OnTimer(unsigned id)
{
    // A message box opened inside a tick runs its own loop, which delivers further ticks.
    if (m_inTimer)
    {
        CDialog::OnTimer(id);
        return;
    }
    m_inTimer = true;
    m_poller.Poll(false, true);
    m_session.Step();
    while (m_events.HasEvents())
    {
        HandleEvent(m_events.Front());
        m_events.Pop();
    }
    if (m_pendingFiles.empty() && !m_downloadedFiles.empty())
        RunSetups();
    m_inTimer = false;
    CDialog::OnTimer(id);
}

void CQuorvelDlg::HandleEvent(const uint8_t* event)
{
    DispatchEvent(event, m_session.Progress().requestTimeMs);
}

void CQuorvelDlg::OnStatusEvent(int32_t code)
{
    const CStatusTable::SRow* row = CStatusTable::Find(code);
    if (row == nullptr || row->statusClass == CStatusTable::EClass::Silent)
        return;
    if (row->status == EStatus::Connected)
        RequestNextFile();
    SetDlgItemText(IDC_STATUS, Translated(row->text));

    if (row->statusClass == CStatusTable::EClass::Fatal)
    {
        m_session.Disconnect();
        CRefString message;
        message.Format("%s:\n<%s>\n%s\n%s: %s", Translated("Es ist ein schwerwiegender Fehler aufgetreten"),
                       Translated(row->text), Translated("Der Download kann nicht fortgesetzt werden!"),
                       Translated("Datei"), HeadName(m_pendingFiles));
        MessageBox(message.GetText(), EMessageBoxIcon::Stop, EMessageBoxButtons::Ok);
        ResetToIdle();
    }
    else if (row->statusClass == CStatusTable::EClass::Question)
    {
        CRefString message;
        message.Format("%s\n<%s>\n%s\n%s: %s", Translated("Es ist ein Fehler aufgetreten."),
                       Translated(row->text), Translated("Wollen Sie fortfahren?"), Translated("Datei"),
                       HeadName(m_pendingFiles));
        // A box that could not be shown counts as the cautious answer.
        if (MessageBox(message.GetText(), EMessageBoxIcon::Question, EMessageBoxButtons::OkCancel) ==
            EMessageBoxResult::Ok)
        {
            if (!m_pendingFiles.empty())
                m_pendingFiles.pop_front();
            RequestNextFile();
        }
        else
        {
            m_session.Disconnect();
            ResetToIdle();
        }
    }
}

void CQuorvelDlg::OnLoginResult(int32_t code)
{
    if (code == Parameters::AdministratorLevel)
        return;
    m_session.Disconnect();
    MessageBox(
        Translated("Sie benötigen die Authentifizierung als Administrator!\nDer Vorgang wird abgebrochen."),
        EMessageBoxIcon::Stop, EMessageBoxButtons::Ok);
    ResetToIdle();
}

void CQuorvelDlg::OnDataEvent(int32_t code, const uint8_t* payload, int32_t length)
{
    // Without a requested file there is no name and no path to save it under.
    if (code != CProtocolSession::DataFile || m_pendingFiles.empty())
        return;

    // A copy: the head leaves the list below, and the payload lies in the event queue, which
    // the session may grow (and move) once anything further is requested.
    const SFileEntry head = m_pendingFiles.front();
    const CSetupFileStore::ESaveOutcome outcome =
        CSetupFileStore::Current().SaveWhole(head.localPath.GetText(), payload, length);
    if (outcome == CSetupFileStore::ESaveOutcome::NotCreated)
    {
        CRefString message;
        message.Format("%s\n<%s>",
                       Translated("Die Datei konnte nicht unter folgendem Namen abgespeichert werden!"),
                       head.localPath.GetText());
        MessageBox(message.GetText(), EMessageBoxIcon::Exclamation, EMessageBoxButtons::Ok);
    }
    else if (outcome == CSetupFileStore::ESaveOutcome::WrittenShort)
    {
        CRefString message;
        message.Format("%s\n%s\n<%s>", Translated("Die Datei konnte nicht geschrieben werden!"),
                       Translated("Möglicherweise haben Sie in dem angegebenen Verzeichnis zuwenig freien "
                                  "Speicherplatz!"),
                       head.localPath.GetText());
        MessageBox(message.GetText(), EMessageBoxIcon::Exclamation, EMessageBoxButtons::Ok);
    }
    else
    {
        m_downloadedFiles.push_back(head);
    }
    // The box above runs its own loop; the list is checked again rather than trusted.
    if (!m_pendingFiles.empty())
        m_pendingFiles.pop_front();
    RequestNextFile();
}

void CQuorvelDlg::OnProgressEvent(const SProgressRecord& progress)
{
    // Progress belongs to the head file; without one there is nothing to report it for.
    if (m_pendingFiles.empty())
        return;
    const CProgressReport report(HeadName(m_pendingFiles), progress);
    SetDlgItemText(IDC_STATUS, report.Text());
    SetProgressPos(IDC_PROGRESS, report.BarPosition());
}

void CQuorvelDlg::RequestNextFile()
{
    SetProgressPos(IDC_PROGRESS, 0);
    if (!m_pendingFiles.empty())
    {
        m_session.RequestFile(CSetupPackages::RemotePath(m_pendingFiles.front().name.GetText()).GetText());
        return;
    }
    m_session.Disconnect();
    SetDlgItemText(IDC_STATUS, "");
    // With files saved, the end of this tick offers them for setup.
    if (m_downloadedFiles.empty())
        ResetToIdle();
}

void CQuorvelDlg::ResetToIdle()
{
    SetProgressPos(IDC_PROGRESS, 0);
    SetDlgItemText(IDC_STATUS, "");
    SetDlgItemText(IdCancel, Translated("Schliessen"));
    m_idle = true;
    m_pendingFiles.clear();
    m_downloadedFiles.clear();
    // The download button too, whatever the boxes show: one of them was ticked when it began.
    for (int id : DownloadLockedControls)
        EnableDlgItem(id, true);
    while (m_events.HasEvents())
        m_events.Pop();
}
