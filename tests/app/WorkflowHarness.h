#pragma once

#include "RecorderSimulator.h"
#include "ScopedLanguage.h"
#include "ScratchDirectory.h"
#include "TestQuorvelDlg.h"
#include "ui/headless/HeadlessBackend.h"
#include "ui/headless/HeadlessDialogWindow.h"

#include <memory>
#include <string>
#include <vector>

// The main dialog on the headless backend, operated like the operator would, against an
// in-process recorder simulator on 127.0.0.1 that serves the two setups from a scratch folder.
// English display unless a test says otherwise. Every wait is bounded.
class CWorkflowHarness
{
public:
    static constexpr const char* Password = "demo";
    static constexpr const char* VarnoxName = "varnoxsetup.exe";
    static constexpr const char* KellidName = "kellidsetup.exe";

    CWorkflowHarness();
    ~CWorkflowHarness();

    // Serves the two setups (VarnoxContent, KellidContent) with these options; root, port and
    // password are filled in. False (with a test failure) when it cannot listen.
    bool StartRecorder(CRecorderSimulator::Options options = {});
    // A port on which nothing listens.
    void UseClosedPort();

    // Types the address, password and directory, sets the check boxes, clicks Download.
    void StartDownload(const std::string& directory, bool varnox = true, bool kellid = true,
                       const std::string& password = Password);
    // Ticks until the dialog is idle again; false after `timeoutMs`.
    bool RunUntilIdle(int timeoutMs = 15000);
    // Ticks until `done` holds; false after `timeoutMs`.
    bool RunUntil(const std::function<bool()>& done, int timeoutMs = 15000);

    // The end state of every finished scenario: idle, "Close", no files listed, nothing queued,
    // every scripted answer used; the status line empty unless `statusCleared` is false.
    void ExpectIdleEnd(bool statusCleared = true) const;

    // Remote paths of the file requests the recorder received, in order.
    std::vector<std::string> RequestedPaths() const;
    std::vector<std::string> BoxTexts() const;
    // Every text the status line showed at the end of a tick, each change once.
    const std::vector<std::string>& StatusHistory() const { return m_statusHistory; }
    // The highest position the progress bar showed at the end of a tick.
    int HighestProgress() const { return m_highestProgress; }
    const std::vector<SMessageBoxRecord>& Boxes() const { return m_backend.GetMessageBoxes(); }

    // The directory the dialog saves into (exists), and where the recorder's files live.
    std::string DownloadDirectory() const { return m_scratch / "download"; }

    // Restored when the harness goes away.
    CScopedLanguage& Language() { return m_language; }
    CHeadlessBackend& Backend() { return m_backend; }
    CHeadlessDialogWindow& Window() { return *m_window; }
    CTestQuorvelDlg& Dialog() { return *m_dialog; }
    CRecorderSimulator& Recorder() { return *m_recorder; }
    const CScratchDirectory& Scratch() const { return m_scratch; }

    const std::vector<uint8_t> VarnoxContent;
    const std::vector<uint8_t> KellidContent;

private:
    CScopedLanguage m_language{CTextTranslator::LanguageEnglish};
    CScratchDirectory m_scratch;
    CHeadlessBackend m_backend;
    std::unique_ptr<CRecorderSimulator> m_recorder;
    std::unique_ptr<CTestQuorvelDlg> m_dialog;
    CHeadlessDialogWindow* m_window = nullptr;
    std::vector<std::string> m_statusHistory;
    int m_highestProgress = 0;
};
