#pragma once

#include "app/QuorvelDlg.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The main dialog with a view of its inner state for tests, pointed at a recorder on any port. Ending
// a conversation does not sleep.
class CTestQuorvelDlg : public CQuorvelDlg
{
public:
    CTestQuorvelDlg()
    {
        m_session.SetDisconnectPause([](int) {});
    }

    void UseRecorderPort(int port) { m_session.SetPort(port); }

    bool IsIdle() const { return m_idle; }
    bool IsInTimer() const { return m_inTimer; }
    size_t PendingFileCount() const { return m_pendingFiles.size(); }
    size_t DownloadedFileCount() const { return m_downloadedFiles.size(); }
    bool HasQueuedEvents() const { return m_events.HasEvents(); }
    const char* TempDir() const { return m_tempDir.GetText(); }
    // What the dialog's queue and the session's receive buffer hold, by their own accounts.
    const CBackgroundBitmap& Background() const { return m_background; }
    int64_t EventQueueHeldBytes() const { return m_events.HeldBytes(); }
    int32_t ReceiveBufferCapacity() { return m_session.Connection().ReceiveAssembler().Buffer().Capacity(); }

    // An event as the session would post it; the next tick handles it.
    void PostEvent(int32_t type, int32_t code, const std::vector<uint8_t>& payload)
    {
        m_events.Post(type, code, static_cast<int32_t>(payload.size()),
                      payload.empty() ? nullptr : payload.data());
    }
    // A file as OnDownload would have listed it, for events that need one at the head.
    void AddPendingFile(const char* name, const char* localPath)
    {
        SFileEntry entry;
        entry.name = name;
        entry.localPath = localPath;
        m_pendingFiles.push_back(entry);
    }
    // When the latest file request was queued, in milliseconds since 1601.
    int64_t LatestRequestMs() const { return m_session.Progress().requestTimeMs; }
    // Ticks that came while a tick was running (from a message box's loop or a wait).
    int NestedTicks() const { return m_nestedTicks; }

protected:
    void OnTimer(unsigned id) override
    {
        if (m_inTimer)
            ++m_nestedTicks;
        CQuorvelDlg::OnTimer(id);
    }

private:
    int m_nestedTicks = 0;
};
