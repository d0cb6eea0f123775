#pragma once

#include "app/DownloadEventHandler.h"
#include "app/FileEntry.h"
#include "app/TransparentLabel.h"
#include "net/SocketPoller.h"
#include "protocol/EventQueue.h"
#include "protocol/EventRecords.h"
#include "protocol/ProtocolSession.h"
#include "support/BackgroundBitmap.h"
#include "support/RefString.h"
#include "ui/Dialog.h"

#include <cstdint>
#include <list>

struct SIconResource;

// The main dialog. Owns every long-lived object of the program; its 10 ms window timer drives the
// poller, the protocol session and the download workflow. The workflow's operations live in
// DownloadWorkflow.cpp, SetupLaunch.cpp and TempDirChoice.cpp.
class CQuorvelDlg : public CDialog, private CDownloadEventHandler
{
public:
    static constexpr int LabelCount = 6;

    explicit CQuorvelDlg(CDialog* parent = nullptr);
    ~CQuorvelDlg() override;

    // Enables the download button while at least one package is ticked.
    void OnCheckBox();
    void UpdateDownloadButton();
    // Fills m_background, as large as the whole window, from the system's button colours.
    void GenerateBackground(uint8_t noiseAmplitude, int tintPercentage, uint32_t tintColour);

    // The download workflow.
    void OnDownload();
    void HandleEvent(const uint8_t* event);
    void OnStatusEvent(int32_t code) override;
    void OnLoginResult(int32_t code) override;
    void OnDataEvent(int32_t code, const uint8_t* payload, int32_t length) override;
    void OnProgressEvent(const SProgressRecord& progress) override;
    void RequestNextFile();
    void ResetToIdle();
    // Offers the saved setups, starts the accepted ones and removes them afterwards.
    void RunSetups();
    // Starts a saved setup with the desktop's "open" action; false when the start failed, which
    // may take a moment to show (the window stays alive meanwhile).
    bool StartSetup(const SFileEntry& entry);
    // The temporary directory: the folder chooser and the check of the typed path.
    void OnBrowse();
    void OnTempDirKillFocus();

protected:
    void DoDataExchange() override;
    bool OnInitDialog() override;
    bool OnCommand(int id, ECommandCode code) override;
    // Idle: ends the dialog. During a download: aborts it and stays open.
    void OnCancel() override;
    void OnSysCommand(unsigned id, long parameter) override;
    void OnTimer(unsigned id) override;
    void OnPaint(CPaintContext& dc) override;
    bool OnEraseBkgnd(CPaintContext& dc) override;
    const SIconResource* OnQueryDragIcon() override;

    CTransparentLabel m_labels[LabelCount];
    const SIconResource* m_hIcon = nullptr;
    CProtocolSession m_session;
    CEventQueue m_events;
    CSocketPoller m_poller;
    std::list<SFileEntry> m_pendingFiles;
    std::list<SFileEntry> m_downloadedFiles;
    CRefString m_tempDir;
    uint32_t m_timerId = 0;
    bool m_inTimer = false;
    bool m_idle = false;
    CBackgroundBitmap m_background;
};
