#pragma once

#include "app/QuorvelDlg.h"

#include <string>
#include <vector>

class CDemoTranscript;

// The real main dialog, watched: after every tick of its timer the status line goes into the
// transcript when it changed. Talks to the recorder on the given port.
class CDemoDialog : public CQuorvelDlg
{
public:
    CDemoDialog(int recorderPort, CDemoTranscript& transcript);

    bool IsIdle() const { return m_idle; }
    size_t PendingFileCount() const { return m_pendingFiles.size(); }
    size_t DownloadedFileCount() const { return m_downloadedFiles.size(); }
    // Notes the status line if it changed since it was last noted.
    void NoteStatus();
    // Whether the status line ever read a text that begins with `prefix`.
    bool HasShownStatusStartingWith(const std::string& prefix) const;

protected:
    void OnTimer(unsigned id) override;

private:
    CDemoTranscript& m_transcript;
    std::string m_notedStatus;
    std::vector<std::string> m_statusHistory;
};
