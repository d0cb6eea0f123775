#include "cli/FetchDownload.h"

#include "app/ProgressReport.h"
#include "app/SetupFileStore.h"
#include "app/SetupPackages.h"
#include "cli/FetchOutput.h"
#include "cli/FetchTexts.h"
#include "os/DesktopStart.h"
#include "os/Files.h"
#include "os/Paths.h"
#include "support/RefString.h"

#include <vector>

namespace
{

const char* Translated(const char* german)
{
    return CFetchTexts::Translate(german);
}

// The window's message, on one line: a log keeps it together.
std::string OneLine(const char* text)
{
    std::string line = text;
    for (char& c : line)
    {
        if (c == '\n')
            c = ' ';
    }
    return line;
}

const char* HeadName(const std::list<SFileEntry>& pendingFiles)
{
    return pendingFiles.empty() ? "" : pendingFiles.front().name.GetText();
}

} // namespace

CFetchDownload::CFetchDownload(CFetchOutput& output) : m_output(output)
{
    m_poller.Register(&m_session.Connection());
    m_poller.SetInterval(CSocketPoller::DefaultIntervalMilliseconds);
}

CFetchDownload::~CFetchDownload()
{
    // Before the poller goes, which ends the sockets interface.
    m_session.Disconnect();
}

EFetchStatus CFetchDownload::Run(const SFetchOptions& options, const std::string& password,
                                 std::istream& confirmation)
{
    // Checked before anything is fetched, with the texts the window uses for the same mistake.
    const char* directoryProblem = nullptr;
    switch (os::QueryPathKind(options.directory.c_str()))
    {
    case os::EPathKind::Missing:
        directoryProblem = "Das angegebene Verzeichnis existiert nicht!";
        break;
    case os::EPathKind::NotDirectory:
        directoryProblem = "Sie haben kein Verzeichnis angegeben!";
        break;
    case os::EPathKind::Directory:
        break;
    }
    if (directoryProblem != nullptr)
    {
        CRefString message;
        message.Format("%s <%s>", Translated(directoryProblem), options.directory.c_str());
        m_output.Complain(message.GetText());
        return EFetchStatus::WriteFailure;
    }

    std::string directory = options.directory;
    if (directory.back() != os::PathSeparator())
        directory += os::PathSeparator();
    for (int index : options.packages)
    {
        SFileEntry entry;
        entry.name = CSetupPackages::All[index].setupFileName;
        entry.localPath = (directory + entry.name.GetText()).c_str();
        m_pendingFiles.push_back(entry);
    }

    m_session.SetPort(options.port);
    m_events.Post(StatusEvent, StatusCode(EStatus::Connecting), 0, nullptr);
    m_session.Connect(options.address.c_str(), password.c_str(), "", &m_events);
    while (!m_finished)
    {
        m_poller.Poll(false, true);
        m_session.Step();
        // Whatever arrives after the end is left unread, as the dialog's return to idle drops it.
        while (!m_finished && m_events.HasEvents())
        {
            DispatchEvent(m_events.Front(), m_session.Progress().requestTimeMs);
            m_events.Pop();
        }
    }
    m_output.EndStatusLine();

    if (options.run && !m_savedFiles.empty())
        RunSetups(options.directory, confirmation);
    return m_status;
}

void CFetchDownload::OnStatusEvent(int32_t code)
{
    const CStatusTable::SRow* row = CStatusTable::Find(code);
    if (row == nullptr || row->statusClass == CStatusTable::EClass::Silent)
        return;
    if (row->status == EStatus::Connected)
        RequestNextFile();

    switch (row->statusClass)
    {
    case CStatusTable::EClass::Fatal:
    {
        CRefString message;
        message.Format("%s:\n<%s>\n%s\n%s: %s", Translated("Es ist ein schwerwiegender Fehler aufgetreten"),
                       Translated(row->text), Translated("Der Download kann nicht fortgesetzt werden!"),
                       Translated("Datei"), HeadName(m_pendingFiles));
        m_output.Complain(OneLine(message.GetText()));
        Abandon(FailureOf(*row));
        break;
    }
    case CStatusTable::EClass::Question:
    {
        // The dialog's "go on?" answered yes: this file is skipped, the next one requested.
        CRefString message;
        message.Format("%s\n<%s>\n%s: %s", Translated("Es ist ein Fehler aufgetreten."),
                       Translated(row->text), Translated("Datei"), HeadName(m_pendingFiles));
        m_output.Complain(OneLine(message.GetText()));
        NoteFailure(FailureOf(*row));
        if (!m_pendingFiles.empty())
            m_pendingFiles.pop_front();
        RequestNextFile();
        break;
    }
    case CStatusTable::EClass::Information:
    case CStatusTable::EClass::Silent:
        if (!m_finished)
            m_output.ShowStatus(Translated(row->text));
        break;
    }
}

void CFetchDownload::OnLoginResult(int32_t code)
{
    if (code == Parameters::AdministratorLevel)
        return;
    m_output.Complain(OneLine(
        Translated("Sie benötigen die Authentifizierung als Administrator!\nDer Vorgang wird abgebrochen.")));
    Abandon(EFetchStatus::Login);
}

void CFetchDownload::OnDataEvent(int32_t code, const uint8_t* payload, int32_t length)
{
    if (code != CProtocolSession::DataFile || m_pendingFiles.empty())
        return;
    // A copy: the head leaves the list below.
    const SFileEntry head = m_pendingFiles.front();
    // The file is complete; the session's own last report comes too late to be shown.
    SProgressRecord received;
    received.total = length;
    received.done = length;
    OnProgressEvent(received);
    const CSetupFileStore::ESaveOutcome outcome =
        CSetupFileStore::Current().SaveWhole(head.localPath.GetText(), payload, length);
    CRefString message;
    switch (outcome)
    {
    case CSetupFileStore::ESaveOutcome::NotCreated:
        message.Format("%s\n<%s>",
                       Translated("Die Datei konnte nicht unter folgendem Namen abgespeichert werden!"),
                       head.localPath.GetText());
        m_output.Complain(OneLine(message.GetText()));
        NoteFailure(EFetchStatus::WriteFailure);
        break;
    case CSetupFileStore::ESaveOutcome::WrittenShort:
        message.Format("%s\n%s\n<%s>", Translated("Die Datei konnte nicht geschrieben werden!"),
                       Translated("Möglicherweise haben Sie in dem angegebenen Verzeichnis zuwenig freien "
                                  "Speicherplatz!"),
                       head.localPath.GetText());
        m_output.Complain(OneLine(message.GetText()));
        NoteFailure(EFetchStatus::WriteFailure);
        break;
    case CSetupFileStore::ESaveOutcome::Saved:
        message.Format("%s: %s", Translated("Gespeichert"), head.localPath.GetText());
        m_output.Note(message.GetText());
        m_savedFiles.push_back(head);
        break;
    }
    m_pendingFiles.pop_front();
    RequestNextFile();
}

void CFetchDownload::OnProgressEvent(const SProgressRecord& progress)
{
    if (!m_pendingFiles.empty())
        m_output.ShowProgress(CProgressReport(HeadName(m_pendingFiles), progress));
}

void CFetchDownload::RequestNextFile()
{
    if (!m_pendingFiles.empty())
    {
        m_session.RequestFile(CSetupPackages::RemotePath(m_pendingFiles.front().name.GetText()).GetText());
        return;
    }
    m_session.Disconnect();
    m_output.ShowStatus("");
    m_finished = true;
}

void CFetchDownload::Abandon(EFetchStatus status)
{
    NoteFailure(status);
    m_session.Disconnect();
    m_pendingFiles.clear();
    m_savedFiles.clear();
    m_finished = true;
}

void CFetchDownload::NoteFailure(EFetchStatus status)
{
    if (m_status == EFetchStatus::Saved)
        m_status = status;
}

void CFetchDownload::RunSetups(const std::string& directory, std::istream& confirmation)
{
    // Every setup the operator asked to run is removed afterwards, whether it started or not.
    std::vector<CRefString> pathsToRemove;
    for (const SFileEntry& entry : m_savedFiles)
    {
        CRefString message;
        os::CDesktopStart start(entry.localPath.GetText(), directory.c_str());
        if (start.WaitForOutcome(os::CDesktopStart::FailureWaitMilliseconds) !=
            os::CDesktopStart::EState::Failed)
        {
            message.Format("%s: %s", Translated("Gestartet"), entry.name.GetText());
            m_output.Note(message.GetText());
        }
        else
        {
            message.Format("%s\n<%s>", Translated("Das Setup konnte nicht ausgeführt werden!"),
                           entry.name.GetText());
            m_output.Complain(OneLine(message.GetText()));
            NoteFailure(EFetchStatus::SetupNotStarted);
        }
        pathsToRemove.push_back(entry.localPath);
    }

    m_output.Note(Translated("Bitte drücken Sie die Eingabetaste, wenn die Installation abgeschlossen ist.\n"
                             "Die Setup-Dateien werden dann wieder entfernt."));
    // The end of the input counts as Enter: a script that gives none does not wait forever.
    std::string line;
    std::getline(confirmation, line);
    // A setup that still runs from its file may keep it; it stays, without a word.
    for (const CRefString& path : pathsToRemove)
        CSetupFileStore::Current().Remove(path.GetText());
    m_savedFiles.clear();
}

EFetchStatus CFetchDownload::FailureOf(const CStatusTable::SRow& row)
{
    switch (row.status)
    {
    case EStatus::NoConnection:
    case EStatus::Refused:
    case EStatus::Unreachable:
    case EStatus::TimedOut:
    case EStatus::SocketError:
    case EStatus::ConnectionError:
    case EStatus::InvalidConnectData:
    case EStatus::ClosedByPeer:
        return EFetchStatus::Connection;
    case EStatus::LoginRefused:
    case EStatus::NoRight:
        return EFetchStatus::Login;
    case EStatus::FileCannotBeOpened:
        return EFetchStatus::FileMissing;
    case EStatus::NotExecuted:
    case EStatus::UnknownTarget:
    case EStatus::UnknownCommand:
    case EStatus::InternalError:
        return EFetchStatus::Protocol;
    default:
        // Out of memory, and any failure the table may learn later.
        return EFetchStatus::OtherFailure;
    }
}
