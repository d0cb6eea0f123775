#pragma once

#include "app/DownloadEventHandler.h"
#include "app/FileEntry.h"
#include "app/StatusTable.h"
#include "cli/FetchOptions.h"
#include "cli/FetchStatus.h"
#include "net/SocketPoller.h"
#include "protocol/EventQueue.h"
#include "protocol/EventRecords.h"
#include "protocol/ProtocolSession.h"

#include <cstdint>
#include <istream>
#include <list>
#include <string>

class CFetchOutput;

// The window's download without the window: one conversation with the recorder that fetches the
// chosen setup files one after another, saves each as the dialog does (nothing partial is left),
// tells status, progress and failures as text, and with --run starts the saved setups and removes
// them once the operator confirms. The poller, the session and the event queue are driven as the
// dialog's timer drives them, in a loop. Where the dialog would ask whether to go on without a
// file, this goes on.
class CFetchDownload : private CDownloadEventHandler
{
public:
    explicit CFetchDownload(CFetchOutput& output);
    CFetchDownload(const CFetchDownload&) = delete;
    CFetchDownload& operator=(const CFetchDownload&) = delete;
    ~CFetchDownload();

    // The whole run; with --run the operator's Enter is read from `confirmation`.
    EFetchStatus Run(const SFetchOptions& options, const std::string& password, std::istream& confirmation);

    // Tests and fuzzers need not sleep while the session ends.
    CProtocolSession& Session() { return m_session; }

private:
    void OnStatusEvent(int32_t code) override;
    void OnLoginResult(int32_t code) override;
    void OnDataEvent(int32_t code, const uint8_t* payload, int32_t length) override;
    void OnProgressEvent(const SProgressRecord& progress) override;
    void RequestNextFile();
    // Ends the conversation early; nothing saved so far is offered for setup.
    void Abandon(EFetchStatus status);
    // The first failure decides the exit status.
    void NoteFailure(EFetchStatus status);
    void RunSetups(const std::string& directory, std::istream& confirmation);
    static EFetchStatus FailureOf(const CStatusTable::SRow& row);

    CFetchOutput& m_output;
    CProtocolSession m_session;
    CEventQueue m_events;
    CSocketPoller m_poller;
    std::list<SFileEntry> m_pendingFiles;
    std::list<SFileEntry> m_savedFiles;
    bool m_finished = false;
    EFetchStatus m_status = EFetchStatus::Saved;
};
