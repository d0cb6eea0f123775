#pragma once

#include "RecorderScenario.h"
#include "ScopedLanguage.h"
#include "TestQuorvelDlg.h"
#include "ui/headless/HeadlessBackend.h"
#include "ui/headless/HeadlessDialogWindow.h"

#include <memory>
#include <string>
#include <vector>

// The main dialog on the headless backend, operated like the operator would, against the scenario's
// recorder. English display unless a test says otherwise. Every wait is bounded.
class CWorkflowHarness : public CRecorderScenario
{
public:
    CWorkflowHarness();
    ~CWorkflowHarness();

    // The scenario's recorder, and the dialog pointed at it.
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

    std::vector<std::string> BoxTexts() const;
    // Every text the status line showed at the end of a tick, each change once.
    const std::vector<std::string>& StatusHistory() const { return m_statusHistory; }
    // The highest position the progress bar showed at the end of a tick.
    int HighestProgress() const { return m_highestProgress; }
    const std::vector<SMessageBoxRecord>& Boxes() const { return m_backend.GetMessageBoxes(); }

    // Restored when the harness goes away.
    CScopedLanguage& Language() { return m_language; }
    CHeadlessBackend& Backend() { return m_backend; }
    CHeadlessDialogWindow& Window() { return *m_window; }
    CTestQuorvelDlg& Dialog() { return *m_dialog; }

private:
    CScopedLanguage m_language{CTextTranslator::LanguageEnglish};
    CHeadlessBackend m_backend;
    std::unique_ptr<CTestQuorvelDlg> m_dialog;
    CHeadlessDialogWindow* m_window = nullptr;
    std::vector<std::string> m_statusHistory;
    int m_highestProgress = 0;
};
