#pragma once

#include "app/DownloadWorkflow.h"
#include "cli/FetchOptions.h"
#include "cli/FetchStatus.h"

#include <istream>
#include <string>
#include <vector>

class CFetchOutput;

// The window's download on a terminal: the same workflow, driven in a loop instead of by a timer,
// with a view that writes lines and answers the window's questions by the options: a file missing
// on the recorder is skipped and the next one fetched, any other question ends the conversation,
// and the saved setups are run only with --run. With --info nothing is fetched: once connected, the
// recorder's account of itself is shown as "name: value" lines. The first failure it is told of
// decides the exit status.
class CFetchDownload : public CDownloadWorkflow
{
public:
    explicit CFetchDownload(CFetchOutput& output);

    // The whole run; with --run the operator's Enter is read from `confirmation`.
    EFetchStatus Run(const SFetchOptions& options, const std::string& password, std::istream& confirmation);

    // Tests and fuzzers need not sleep while the session ends.
    CProtocolSession& Session() { return m_session; }

protected:
    void ShowStatus(const char* text) override;
    void ShowProgress(const CProgressReport& report) override;
    void ResetProgressBar() override {}
    bool ShowMessage(const SWorkflowMessage& message) override;
    void OnDownloadStarted() override {}
    void OnRecorderConnected() override;
    void OnFileSaved(const SFileEntry& file) override;
    // Waits the moment in which a start may fail.
    bool StartSetup(const SFileEntry& file) override;
    void OnIdle() override { m_finished = true; }

private:
    CFetchOutput& m_output;
    bool m_runSetups = false;
    bool m_showInfo = false;
    // What --info shows, noted while connected and written once the conversation has ended.
    std::vector<std::string> m_infoLines;
    std::istream* m_confirmation = nullptr;
    bool m_finished = false;
    EFetchStatus m_status = EFetchStatus::Saved;
};
