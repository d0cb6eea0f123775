#include "net/SocketConnection.h"

#include "os/Clock.h"
#include "support/TextTranslator.h"
#include "wire/Commands.h"

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
        int32_t size = 0;
        if (!m_receiveAssembler.PrepareRead(m_receiveChunk, size))
        {
            m_status = EStatus::NoMemory;
            return;
        }
        // No room without moving a complete packet: the rest is read once it has been taken.
        if (size <= 0)
        {
            return;
        }
        const int received = Receive(buffer.End(), size);
        if (received < 0)
        {
            // Receive has closed the socket through OnError already.
            const int32_t error = LastError();
            m_status = (error == os::ErrorShutDown || error == ErrorClosedByPeer) ? EStatus::ClosedByPeer
                                                                                  : EStatus::SocketError;
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
        m_status = EStatus::SocketError;
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
        m_status = EStatus::Refused;
        break;
    case os::ErrorHostUnreachable:
        m_status = EStatus::Unreachable;
        break;
    case os::ErrorTimedOut:
        m_status = EStatus::TimedOut;
        break;
    case ErrorClosedByPeer:
        m_status = EStatus::ClosedByPeer;
        break;
    default:
        m_status = EStatus::SocketError;
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
        m_status = EStatus::NoMemory;
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

bool CSocketConnection::TakeCurrentPayload(CByteBuffer& block)
{
    return m_receiveAssembler.TakeCurrent(block);
}

void CSocketConnection::FinishReceivedPacket()
{
    const CCommandPacket* answer = m_receiveAssembler.Header();
    if (answer != nullptr && m_sendQueue.MatchesAnswer(*answer))
    {
        m_sendQueue.FinishCurrent();
        // Such an answer settles two commands: the one queued next is dropped unsent.
        if (answer->Ident() == Idents::DiscardNext)
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
    m_status = EStatus::Idle;
}

void CSocketConnection::ResetStatus()
{
    m_status = EStatus::Idle;
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
