#include "net/SocketConnection.h"

#include "os/Clock.h"
#include "support/TextTranslator.h"

const char* ConnectionErrorText(int code)
{
    switch (code)
    {
    case os::ErrorRefused:
        return g_translator.Translate("Die Verbindungsanfrage wurde abgelehnt.");
    case os::ErrorTimedOut:
        return g_translator.Translate("Ein Zeitüberlauf ist aufgetreten.");
    case os::ErrorWouldBlock:
        return g_translator.Translate("Eine Verbindungsanfrage läuft bereits.");
    case os::ErrorConnectionReset:
        return g_translator.Translate("Die Verbindung wurde vom Server getrennt.");
    default:
        return nullptr;
    }
}

CSocketConnection::CSocketConnection()
{
    // The session owns its connection; the poller only points at it.
    SetPollerOwned(false);
}

CSocketConnection::~CSocketConnection()
{
    Disconnect();
}

bool CSocketConnection::WantsWrite()
{
    return m_sendQueue.PendingBytes() > 0 && m_sendQueue.IsReady();
}

void CSocketConnection::OnReceive(int)
{
    CByteBuffer& buffer = m_receiveAssembler.Buffer();
    for (int read = 0; read < MaxReadsPerEvent; ++read)
    {
        const int32_t size = m_receiveChunk;
        if (size <= 0)
        {
            return;
        }
        if (!buffer.Reserve(size))
        {
            m_status = StatusNoMemory;
            return;
        }
        const int received = Receive(buffer.End(), size);
        if (received < 0)
        {
            // Receive has closed the socket through OnError already.
            const int32_t error = LastError();
            m_status = (error == os::ErrorShutDown || error == ErrorClosedByPeer) ? StatusClosedByPeer
                                                                                  : StatusSocketError;
            return;
        }
        if (received == 0)
        {
            return;
        }
        MarkTime(true);
        buffer.Grow(received);
    }
}

void CSocketConnection::OnSend(int)
{
    if (!m_sendQueue.IsReady())
    {
        return;
    }
    const int32_t pending = m_sendQueue.PendingBytes();
    if (pending == 0)
    {
        return;
    }
    // The bytes stay in the queue; only what the socket accepts is accounted as sent.
    const int sent = SendBlock(m_sendQueue.CurrentData(), pending);
    if (sent < 0)
    {
        m_status = StatusSocketError;
    }
    else if (sent > 0)
    {
        m_sendQueue.Consume(sent);
        MarkTime(false);
    }
}

void CSocketConnection::OnConnect(int)
{
    int size = 0;
    if (os::ReceiveBufferSize(Handle(), size) && size < m_receiveChunk)
    {
        m_receiveChunk = size;
    }
}

void CSocketConnection::OnClose(int code)
{
    CTcpSocket::OnClose(code);
    switch (code)
    {
    case 0:
        break;
    case os::ErrorRefused:
        m_status = StatusRefused;
        break;
    case os::ErrorHostUnreachable:
        m_status = StatusUnreachable;
        break;
    case os::ErrorTimedOut:
        m_status = StatusTimedOut;
        break;
    case ErrorClosedByPeer:
        m_status = StatusClosedByPeer;
        break;
    default:
        m_status = StatusSocketError;
        break;
    }
}

void CSocketConnection::OnError(int code)
{
    OnClose(code);
}

bool CSocketConnection::WantsRead()
{
    return true;
}

bool CSocketConnection::QueuePacket(const CCommandPacket& header, const void* payload, int32_t payloadLength)
{
    if (!m_sendQueue.Append(header, payload, payloadLength))
    {
        m_status = StatusNoMemory;
        return false;
    }
    return true;
}

bool CSocketConnection::HasCompletePacket()
{
    return m_receiveAssembler.HasComplete();
}

const CCommandPacket* CSocketConnection::CurrentHeader() const
{
    return m_receiveAssembler.Header();
}

const uint8_t* CSocketConnection::CurrentPayload() const
{
    return m_receiveAssembler.Payload();
}

int32_t CSocketConnection::CurrentPayloadLength() const
{
    return m_receiveAssembler.PayloadLength();
}

bool CSocketConnection::ExtendCurrentPacket(int32_t count)
{
    return m_receiveAssembler.Extend(count);
}

void CSocketConnection::FinishReceivedPacket()
{
    const CCommandPacket* answer = m_receiveAssembler.Header();
    if (answer != nullptr && m_sendQueue.MatchesAnswer(*answer))
    {
        m_sendQueue.FinishCurrent();
        // Ident 6 answers for two commands: the one queued next is dropped unsent.
        if (answer->Ident() == 6)
        {
            const int32_t pending = m_sendQueue.PendingBytes();
            if (pending > 0)
            {
                m_sendQueue.Consume(pending);
                m_sendQueue.FinishCurrent();
            }
        }
    }
    m_receiveAssembler.DropCurrent();
}

void CSocketConnection::ResendCurrent()
{
    m_sendQueue.Rewind();
}

void CSocketConnection::Disconnect()
{
    Close(true);
    m_receiveAssembler.Clear();
    m_sendQueue.Clear();
    m_lastReceiveTime = 0;
    m_lastSendTime = 0;
    m_status = StatusIdle;
}

void CSocketConnection::ResetStatus()
{
    m_status = StatusIdle;
    SetLastError(0);
}

void CSocketConnection::MarkTime(bool received)
{
    const int64_t now = os::MonotonicSeconds();
    if (received)
    {
        m_lastReceiveTime = now;
    }
    else
    {
        m_lastSendTime = now;
    }
}

int32_t CSocketConnection::SecondsSinceLastSend() const
{
    const int64_t elapsed = os::MonotonicSeconds() - m_lastSendTime;
    if (elapsed > INT32_MAX)
    {
        return INT32_MAX;
    }
    return elapsed < INT32_MIN ? INT32_MIN : static_cast<int32_t>(elapsed);
}
