#include "app/DownloadWorkflow.h"

#include "app/ProgressReport.h"
#include "app/SetupFileStore.h"
#include "app/SetupPackages.h"
#include "app/StatusTable.h"
#include "os/Files.h"
#include "os/Paths.h"
#include "support/TextTranslator.h"

namespace
{

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

CDownloadWorkflow::~CDownloadWorkflow()
{
    m_session.Disconnect();
}

void CDownloadWorkflow::RegisterConnection(int32_t pollIntervalMilliseconds)
{
    // The poller skips the connection while it has no socket.
    m_poller.Register(&m_session.Connection());
    m_poller.SetInterval(pollIntervalMilliseconds);
}

const char* CDownloadWorkflow::DirectoryProblem(const char* path)
{
    switch (os::QueryPathKind(path))
    {
    case os::EPathKind::Missing:
        return "Das angegebene Verzeichnis existiert nicht!";
    case os::EPathKind::NotDirectory:
        return "Sie haben kein Verzeichnis angegeben!";
    case os::EPathKind::Directory:
        break;
    }
    return nullptr;
}

bool CDownloadWorkflow::CheckDirectory(const char* path)
{
    const char* problem = DirectoryProblem(path);
    if (problem == nullptr)
        return true;
    CRefString text;
    text.Format("%s\n<%s>", Translated(problem), path);
    ShowMessage(
        SWorkflowMessage::Plain(SWorkflowMessage::EKind::Warning, text.GetText(), EDownloadFailure::Saving));
    return false;
}

void CDownloadWorkflow::StartDownload(const char* address, const char* password, const char* directory,
                                      const bool* chosen)
{
    m_pendingFiles.clear();
    m_downloadedFiles.clear();
    ResetProgressBar();

    // Not validated here: leaving the field checks it, and saving reports what still fails.
    m_tempDir = directory;
    const char separator[] = {os::PathSeparator(), '\0'};
    const int32_t directoryLength = m_tempDir.GetLength();
    if (directoryLength > 0 && m_tempDir[directoryLength - 1] != separator[0])
        m_tempDir.Append(separator);

    for (int index = 0; index < CSetupPackages::Count; ++index)
    {
        SFileEntry entry;
        entry.name = CSetupPackages::All[index].setupFileName;
        entry.localPath = m_tempDir + entry.name;
        if (chosen[index])
            m_pendingFiles.push_back(entry);
    }

    OnDownloadStarted();
    // Shown by the next tick, before anything the session reports.
    m_events.Post(StatusEvent, StatusCode(EStatus::Connecting), 0, nullptr);
    m_session.Connect(address, password, "", &m_events);
}

void CDownloadWorkflow::Tick()
{
    m_poller.Poll(false, true);
    m_session.Step();
    while (m_events.HasEvents())
    {
        HandleEvent(m_events.Front());
        m_events.Pop();
    }
    if (m_pendingFiles.empty() && !m_downloadedFiles.empty())
        RunSetups();
}

void CDownloadWorkflow::HandleEvent(const uint8_t* event)
{
    if (event == nullptr)
        return;
    const SEventRecord record = CEventQueue::Read(event);
    switch (record.type)
    {
    case StatusEvent:
        OnStatusEvent(record.code);
        break;
    case LoginResultEvent:
        OnLoginResult(record.code);
        break;
    case DataEvent:
        OnDataEvent(record.code, record.payload, record.length);
        break;
    case ProgressEvent:
    {
        // A file's final report is posted after the file itself, when the next file may be requested
        // already: shown then, it would carry the previous file's figures under the new name. A
        // report without its request time counts as the latest request's.
        const int64_t latestRequestMs = m_session.Progress().requestTimeMs;
        SProgressRecord progress;
        progress.requestTimeMs = latestRequestMs;
        if (SProgressRecord::Decode(record.payload, record.length, progress) &&
            progress.requestTimeMs >= latestRequestMs)
            OnProgressEvent(progress);
        break;
    }
    default:
        break;
    }
}

void CDownloadWorkflow::OnStatusEvent(int32_t code)
{
    const CStatusTable::SRow* row = CStatusTable::Find(code);
    if (row == nullptr || row->statusClass == CStatusTable::EClass::Silent)
        return;
    if (row->status == EStatus::Connected)
    {
        OnRecorderConnected();
        RequestNextFile();
    }
    ShowStatus(Translated(row->text));

    if (row->statusClass == CStatusTable::EClass::Fatal)
    {
        m_session.Disconnect();
        CRefString text;
        text.Format("%s:\n<%s>\n%s\n%s: %s", Translated("Es ist ein schwerwiegender Fehler aufgetreten"),
                    Translated(row->text), Translated("Der Download kann nicht fortgesetzt werden!"),
                    Translated("Datei"), HeadName(m_pendingFiles));
        ShowMessage(SWorkflowMessage::Plain(SWorkflowMessage::EKind::Fatal, text.GetText(), row->failure));
        ResetToIdle();
    }
    else if (row->statusClass == CStatusTable::EClass::Question)
    {
        CRefString text;
        text.Format("%s\n<%s>\n%s\n%s: %s", Translated("Es ist ein Fehler aufgetreten."),
                    Translated(row->text), Translated("Wollen Sie fortfahren?"), Translated("Datei"),
                    HeadName(m_pendingFiles));
        CRefString report;
        report.Format("%s\n<%s>\n%s: %s", Translated("Es ist ein Fehler aufgetreten."), Translated(row->text),
                      Translated("Datei"), HeadName(m_pendingFiles));
        const SWorkflowMessage question{SWorkflowMessage::EKind::GoOnQuestion, text.GetText(),
                                        report.GetText(), row->failure};
        // A message that could not be shown counts as the cautious answer.
        if (ShowMessage(question))
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

void CDownloadWorkflow::OnLoginResult(int32_t code)
{
    if (code == Parameters::AdministratorLevel)
        return;
    m_session.Disconnect();
    ShowMessage(SWorkflowMessage::Plain(
        SWorkflowMessage::EKind::Fatal,
        Translated("Sie benötigen die Authentifizierung als Administrator!\nDer Vorgang wird abgebrochen."),
        EDownloadFailure::Login));
    ResetToIdle();
}

void CDownloadWorkflow::OnDataEvent(int32_t code, const uint8_t* payload, int32_t length)
{
    // Without a requested file there is no name and no path to save it under.
    if (code != CProtocolSession::DataFile || m_pendingFiles.empty())
        return;

    // A copy: the head leaves the list below, after messages that run loops of their own. The
    // payload stays put until the event is popped: a file's block is handed over to the queue.
    const SFileEntry head = m_pendingFiles.front();
    // The file is complete; the session's own last report comes after it, too late to be shown.
    SProgressRecord received;
    received.total = length;
    received.done = length;
    OnProgressEvent(received);

    const CSetupFileStore::ESaveOutcome outcome =
        CSetupFileStore::Current().SaveWhole(head.localPath.GetText(), payload, length);
    CRefString text;
    switch (outcome)
    {
    case CSetupFileStore::ESaveOutcome::NotCreated:
        text.Format("%s\n<%s>",
                    Translated("Die Datei konnte nicht unter folgendem Namen abgespeichert werden!"),
                    head.localPath.GetText());
        ShowMessage(SWorkflowMessage::Plain(SWorkflowMessage::EKind::Warning, text.GetText(),
                                            EDownloadFailure::Saving));
        break;
    case CSetupFileStore::ESaveOutcome::WrittenShort:
        text.Format("%s\n%s\n<%s>", Translated("Die Datei konnte nicht geschrieben werden!"),
                    Translated("Möglicherweise haben Sie in dem angegebenen Verzeichnis zuwenig freien "
                               "Speicherplatz!"),
                    head.localPath.GetText());
        ShowMessage(SWorkflowMessage::Plain(SWorkflowMessage::EKind::Warning, text.GetText(),
                                            EDownloadFailure::Saving));
        break;
    case CSetupFileStore::ESaveOutcome::Saved:
        m_downloadedFiles.push_back(head);
        OnFileSaved(head);
        break;
    }
    // A message above runs its own loop; the list is checked again rather than trusted.
    if (!m_pendingFiles.empty())
        m_pendingFiles.pop_front();
    RequestNextFile();
}

void CDownloadWorkflow::OnProgressEvent(const SProgressRecord& progress)
{
    // Progress belongs to the head file; without one there is nothing to report it for.
    if (m_pendingFiles.empty())
        return;
    ShowProgress(CProgressReport(HeadName(m_pendingFiles), progress));
}

void CDownloadWorkflow::RequestNextFile()
{
    ResetProgressBar();
    if (!m_pendingFiles.empty())
    {
        m_session.RequestFile(CSetupPackages::RemotePath(m_pendingFiles.front().name.GetText()).GetText());
        return;
    }
    m_session.Disconnect();
    ShowStatus("");
    // With files saved, the end of this tick offers them for setup.
    if (m_downloadedFiles.empty())
        ResetToIdle();
}

void CDownloadWorkflow::ResetToIdle()
{
    ResetProgressBar();
    ShowStatus("");
    m_pendingFiles.clear();
    m_downloadedFiles.clear();
    OnIdle();
    while (m_events.HasEvents())
        m_events.Pop();
}
