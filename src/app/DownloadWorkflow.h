#pragma once

#include "app/FileEntry.h"
#include "app/WorkflowMessage.h"
#include "net/SocketPoller.h"
#include "protocol/EventQueue.h"
#include "protocol/EventRecords.h"
#include "protocol/ProtocolSession.h"
#include "support/RefString.h"

#include <cstdint>
#include <list>

class CProgressReport;

// The download without a window: from the chosen packages to the saved files and the setups run
// from them. It owns what a download needs and holds the conversation's rules once: the reaction to
// each event and status class, every message composed from its German keys, the next file's
// request, saving, and the setups. Front ends derive from it and implement the view below: the
// main dialog with its controls and message boxes, quorvel-fetch on a terminal. Tick is driven by
// the front end's timer or loop.
class CDownloadWorkflow
{
public:
    CDownloadWorkflow() = default;
    CDownloadWorkflow(const CDownloadWorkflow&) = delete;
    CDownloadWorkflow& operator=(const CDownloadWorkflow&) = delete;
    // Ends the conversation while the sockets interface is still up: the poller ends it.
    virtual ~CDownloadWorkflow();

    // Registers the session's connection with the poller, once, before any socket exists.
    void RegisterConnection(int32_t pollIntervalMilliseconds);

    // The problem with `path` as the directory to save into, as a German key, or null when it is
    // an existing directory.
    static const char* DirectoryProblem(const char* path);

    // Lists the chosen packages (`chosen[i]` for CSetupPackages::All[i]) with their paths in
    // `directory`, tells the view, shows "Connecting..." from the next tick and starts connecting.
    void StartDownload(const char* address, const char* password, const char* directory, const bool* chosen);
    // One tick: the poller, the session, every queued event, and the setups once every file is
    // handled.
    void Tick();

    void HandleEvent(const uint8_t* event);
    void OnStatusEvent(int32_t code);
    void OnLoginResult(int32_t code);
    void OnDataEvent(int32_t code, const uint8_t* payload, int32_t length);
    void OnProgressEvent(const SProgressRecord& progress);
    void RequestNextFile();
    void ResetToIdle();
    // Offers the saved setups, starts the accepted ones and removes them once the operator confirms.
    void RunSetups();

protected:
    // The view: what the download shows and asks.
    virtual void ShowStatus(const char* text) = 0;
    virtual void ShowProgress(const CProgressReport& report) = 0;
    virtual void ResetProgressBar() = 0;
    // True when the operator answered OK or Yes.
    virtual bool ShowMessage(const SWorkflowMessage& message) = 0;
    // The inputs are locked until OnIdle.
    virtual void OnDownloadStarted() = 0;
    // The recorder has answered the device information; nothing is requested yet.
    virtual void OnRecorderConnected() {}
    virtual void OnFileSaved(const SFileEntry&) {}
    // Starts a saved setup with the desktop's "open" action in m_tempDir; false when the start
    // failed.
    virtual bool StartSetup(const SFileEntry& file) = 0;
    virtual void OnIdle() = 0;

    // Tells the view when `path` cannot take the setups: false after a warning.
    bool CheckDirectory(const char* path);

    CProtocolSession m_session;
    CEventQueue m_events;
    CSocketPoller m_poller;
    std::list<SFileEntry> m_pendingFiles;
    std::list<SFileEntry> m_downloadedFiles;
    CRefString m_tempDir;
};
