#pragma once

#include "app/DownloadWorkflow.h"
#include "app/TransparentLabel.h"
#include "support/BackgroundBitmap.h"
#include "ui/Dialog.h"

#include <cstdint>

struct SIconResource;

// The main dialog. Owns every long-lived object of the program: through the download workflow it
// derives from (session, event queue, poller, file lists), which its 10 ms window timer drives and
// which it shows with its controls and message boxes. The temporary directory's handlers live in
// TempDirChoice.cpp.
class CQuorvelDlg : public CDialog, public CDownloadWorkflow
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

    // Starts the download of the ticked packages with what the fields hold.
    void OnDownload();
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

    // The download's view: the status line, the progress bar, message boxes, the locked inputs.
    void ShowStatus(const char* text) override;
    void ShowProgress(const CProgressReport& report) override;
    void ResetProgressBar() override;
    // A box that could not be shown counts as No.
    bool ShowMessage(const SWorkflowMessage& message) override;
    void OnDownloadStarted() override;
    // The start may take a moment to fail; the window stays alive meanwhile.
    bool StartSetup(const SFileEntry& file) override;
    void OnIdle() override;

    CTransparentLabel m_labels[LabelCount];
    const SIconResource* m_hIcon = nullptr;
    uint32_t m_timerId = 0;
    bool m_inTimer = false;
    bool m_idle = false;
    CBackgroundBitmap m_background;
};
