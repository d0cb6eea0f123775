#include "BenchDialog.h"

#include "TimedFileStore.h"
#include "app/Resources.h"
#include "wire/Commands.h"

namespace
{
// Room for an hour of ticks, so that recording never reallocates while the download runs.
constexpr size_t TickCapacity = 360000;
} // namespace

CBenchDialog::CBenchDialog(int recorderPort, const CTimedFileStore& store) : m_store(store)
{
    m_session.SetPort(recorderPort);
    m_tickTimes.reserve(TickCapacity);
    m_bytesRead.reserve(TickCapacity);
}

int32_t CBenchDialog::MostBytesPerTick()
{
    return CSocketConnection::MaxReadsPerEvent * m_session.Connection().ReceiveChunk();
}

bool CBenchDialog::OnCommand(int id, ECommandCode code)
{
    if (id == IDC_DOWNLOAD && code == ECommandCode::Clicked && !m_clicked)
    {
        m_clicked = true;
        m_ticksBeforeClick = static_cast<int>(m_tickTimes.size());
        SProcessUsage::RestartPeak();
        m_clickUsage = SProcessUsage::Now();
    }
    return CQuorvelDlg::OnCommand(id, code);
}

int32_t CBenchDialog::FileAnswerBytes()
{
    CSocketConnection& connection = m_session.Connection();
    const CCommandPacket* header = connection.CurrentHeader();
    if (header == nullptr || !Commands::FileRequest.Matches(*header))
        return -1;
    return connection.ReceiveAssembler().BufferedBytes();
}

void CBenchDialog::OnTimer(unsigned id)
{
    if (m_tickTimes.size() < m_tickTimes.capacity())
        m_tickTimes.push_back(SProcessUsage::MonotonicMicroseconds());
    const int32_t before = FileAnswerBytes();
    CQuorvelDlg::OnTimer(id);
    const int32_t after = FileAnswerBytes();
    if (m_bytesRead.size() < m_bytesRead.capacity())
        m_bytesRead.push_back(before >= 0 && after >= before ? after - before : -1);

    const int tick = static_cast<int>(m_tickTimes.size()) - 1;
    if (m_clicked && m_requestTick == NoTick && m_session.Progress().requestTimeMs != 0)
    {
        m_requestTick = tick;
        m_requested = SProcessUsage::MonotonicMicroseconds();
    }
    if (m_store.HasSaved() && m_saveTick == NoTick)
    {
        m_saveTick = tick;
        m_afterSave = SProcessUsage::Now();
        if (m_onSaved)
            m_onSaved();
    }
}
