#pragma once

#include "ProcessUsage.h"
#include "app/QuorvelDlg.h"

#include <cstdint>
#include <functional>
#include <vector>

class CTimedFileStore;

// The real main dialog with its real window timer, watched: every tick's start time and the file
// bytes it read, the click on Download, the tick that requested the file and the tick that saved
// it. Nothing is measured inside the watched code; the marks are taken around it.
class CBenchDialog : public CQuorvelDlg
{
public:
    // A mark that has not happened yet.
    static constexpr int NoTick = -1;

    CBenchDialog(int recorderPort, const CTimedFileStore& store);

    bool IsIdle() const { return m_idle; }
    // Called at the end of the tick that saved the file.
    void SetSavedHandler(std::function<void()> handler) { m_onSaved = std::move(handler); }

    // Start times of every tick so far (monotonic microseconds).
    const std::vector<int64_t>& TickTimes() const { return m_tickTimes; }
    // File bytes read by each tick while the file answer was arriving; -1 for other ticks.
    const std::vector<int32_t>& BytesReadPerTick() const { return m_bytesRead; }
    // The most one tick may read: the reads per readable event times the receive chunk.
    int32_t MostBytesPerTick();

    const SProcessUsage& UsageAtClick() const { return m_clickUsage; }
    // Ticks that had started when Download was clicked.
    int TicksBeforeClick() const { return m_ticksBeforeClick; }
    // The tick in which the dialog asked for the file, and when that tick ended.
    int RequestTick() const { return m_requestTick; }
    int64_t RequestedMicroseconds() const { return m_requested; }
    int SaveTick() const { return m_saveTick; }
    // Taken at the end of the tick that saved the file.
    const SProcessUsage& UsageAfterSaveTick() const { return m_afterSave; }

protected:
    bool OnCommand(int id, ECommandCode code) override;
    void OnTimer(unsigned id) override;

private:
    // Bytes of the file answer held so far, or -1 while no file answer is held.
    int32_t FileAnswerBytes();

    const CTimedFileStore& m_store;
    std::function<void()> m_onSaved;
    std::vector<int64_t> m_tickTimes;
    std::vector<int32_t> m_bytesRead;
    bool m_clicked = false;
    SProcessUsage m_clickUsage;
    int m_ticksBeforeClick = 0;
    int m_requestTick = NoTick;
    int64_t m_requested = 0;
    int m_saveTick = NoTick;
    SProcessUsage m_afterSave;
};
