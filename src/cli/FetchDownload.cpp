#include "cli/FetchDownload.h"

#include "app/ProgressReport.h"
#include "app/SetupPackages.h"
#include "cli/FetchOutput.h"
#include "cli/FetchTexts.h"
#include "os/DesktopStart.h"
#include "support/RefString.h"

namespace
{

// On one line, so that a log keeps it together: the window's message parts, and a text from the
// recorder as one field; whatever control characters the text holds (line ends among them) become
// blanks.
std::string OneLine(const std::string& text)
{
    std::string line = text;
    for (char& c : line)
    {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    }
    return line;
}

EFetchStatus StatusOf(EDownloadFailure failure)
{
    switch (failure)
    {
    case EDownloadFailure::None:
        return EFetchStatus::Saved;
    case EDownloadFailure::Connection:
        return EFetchStatus::Connection;
    case EDownloadFailure::Login:
        return EFetchStatus::Login;
    case EDownloadFailure::FileMissing:
        return EFetchStatus::FileMissing;
    case EDownloadFailure::Saving:
        return EFetchStatus::WriteFailure;
    case EDownloadFailure::Protocol:
        return EFetchStatus::Protocol;
    case EDownloadFailure::SetupNotStarted:
        return EFetchStatus::SetupNotStarted;
    case EDownloadFailure::Other:
        break;
    }
    return EFetchStatus::OtherFailure;
}

} // namespace

CFetchDownload::CFetchDownload(CFetchOutput& output) : m_output(output)
{
    RegisterConnection(CSocketPoller::DefaultIntervalMilliseconds);
}

EFetchStatus CFetchDownload::Run(const SFetchOptions& options, const std::string& password,
                                 std::istream& confirmation)
{
    m_runSetups = options.run;
    m_showInfo = options.info;
    m_confirmation = &confirmation;
    // Checked before anything is fetched, with the texts the window uses for the same mistake.
    if (!m_showInfo && !CheckDirectory(options.directory.c_str()))
        return m_status;

    bool chosen[CSetupPackages::Count] = {};
    for (int index : options.packages)
        chosen[index] = !m_showInfo;
    m_session.SetPort(options.port);
    StartDownload(options.address.c_str(), password.c_str(), options.directory.c_str(), chosen);
    while (!m_finished)
        Tick();
    m_output.EndStatusLine();
    for (const std::string& line : m_infoLines)
        m_output.Note(line);
    return m_status;
}

void CFetchDownload::ShowStatus(const char* text)
{
    m_output.ShowStatus(text);
}

void CFetchDownload::ShowProgress(const CProgressReport& report)
{
    m_output.ShowProgress(report);
}

bool CFetchDownload::ShowMessage(const SWorkflowMessage& message)
{
    switch (message.kind)
    {
    case SWorkflowMessage::EKind::RunSetupQuestion:
        return m_runSetups;
    case SWorkflowMessage::EKind::SetupsDone:
    {
        m_output.Note(
            CFetchTexts::Translate("Bitte drücken Sie die Eingabetaste, wenn die Installation "
                                   "abgeschlossen ist.\nDie Setup-Dateien werden dann wieder entfernt."));
        // The end of the input counts as Enter: a script that gives none does not wait forever.
        std::string line;
        std::getline(*m_confirmation, line);
        return true;
    }
    case SWorkflowMessage::EKind::Fatal:
    case SWorkflowMessage::EKind::GoOnQuestion:
    case SWorkflowMessage::EKind::Warning:
        break;
    }
    m_output.Complain(OneLine(message.report));
    // The first failure decides the exit status.
    if (m_status == EFetchStatus::Saved)
        m_status = StatusOf(message.failure);
    // Only a file the recorder does not have is skipped; every other question ends the conversation.
    return message.failure == EDownloadFailure::FileMissing;
}

void CFetchDownload::OnRecorderConnected()
{
    if (!m_showInfo)
        return;
    const CDeviceInfo& info = m_session.DeviceInfo();
    const auto note = [this](const char* german, const std::string& value)
    { m_infoLines.push_back(std::string(CFetchTexts::Translate(german)) + ": " + OneLine(value)); };
    note("Gerätetext 1", info.FirstText() != nullptr ? info.FirstText() : "");
    note("Gerätetext 2", info.ThirdText() != nullptr ? info.ThirdText() : "");
    note("Schalter", CFetchTexts::Translate(info.SwitchOn() ? "ein" : "aus"));
    note("Protokollversion", info.VersionText() != nullptr ? info.VersionText() : "");
    note("Versionscode", std::to_string(info.VersionCode()));
    note("Benutzerstufe", std::to_string(info.UserLevel()));
}

void CFetchDownload::OnFileSaved(const SFileEntry& file)
{
    CRefString note;
    note.Format("%s: %s", CFetchTexts::Translate("Gespeichert"), file.localPath.GetText());
    m_output.Note(note.GetText());
}

bool CFetchDownload::StartSetup(const SFileEntry& file)
{
    os::CDesktopStart start(file.localPath.GetText(), m_tempDir.GetText());
    if (start.WaitForOutcome(os::CDesktopStart::FailureWaitMilliseconds) == os::CDesktopStart::EState::Failed)
        return false;
    CRefString note;
    note.Format("%s: %s", CFetchTexts::Translate("Gestartet"), file.name.GetText());
    m_output.Note(note.GetText());
    return true;
}
