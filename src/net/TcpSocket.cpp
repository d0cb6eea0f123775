#include "net/TcpSocket.h"

#include <cstring>

namespace
{

bool g_socketsStarted = false;

} // namespace

bool StartSocketsOnce()
{
    if (g_socketsStarted)
    {
        return true;
    }
    const int result = os::StartSockets();
    if (result != 0 && result != os::ErrorVersionNotSupported)
    {
        return false;
    }
    g_socketsStarted = true;
    return true;
}

CTcpSocket::~CTcpSocket()
{
    Close(true);
}

bool CTcpSocket::WantsWrite()
{
    return m_outgoing.Length() > 0;
}

void CTcpSocket::OnAccept(int) {}

void CTcpSocket::OnReceive(int) {}

void CTcpSocket::OnSend(int)
{
    if (m_outgoing.Length() != 0)
    {
        SendPending(true);
    }
}

void CTcpSocket::OnConnect(int) {}

void CTcpSocket::OnClose(int code)
{
    m_lastError = code;
    Close(true);
}

void CTcpSocket::OnError(int code)
{
    // Deliberately the base behaviour, not a call through the OnClose slot: a plain socket treats
    // both alike, and derived classes decide for themselves how the two relate.
    m_lastError = code;
    Close(true);
}

bool CTcpSocket::WantsRead()
{
    return true;
}

void CTcpSocket::AfterEvents()
{
    if (m_state == StateClosing)
    {
        Close(false);
    }
}

bool CTcpSocket::Create()
{
    if (!StartSocketsOnce())
    {
        return false;
    }
    m_lastError = 0;
    const os::SocketHandle handle = os::CreateTcpSocket();
    if (handle == os::InvalidSocket)
    {
        m_lastError = os::LastSocketError();
        return false;
    }
    m_handle = handle;
    m_state = StateIdle;
    return true;
}

bool CTcpSocket::Connect(const char* host, int port)
{
    if (m_handle == os::InvalidSocket)
    {
        return false;
    }
    if (port < 0 || port > 65535)
    {
        return false;
    }
    uint32_t address = 0;
    if (!os::ParseIPv4Address(host, address) && !os::LookupIPv4Host(host, address))
    {
        return false;
    }
    if (!os::SetNonBlocking(m_handle))
    {
        m_lastError = os::LastSocketError();
        Close(false);
        return false;
    }
    if (!os::ConnectIPv4(m_handle, address, port))
    {
        m_lastError = os::LastSocketError();
        if (m_lastError != os::ErrorWouldBlock)
        {
            return false;
        }
        m_lastError = 0;
    }
    m_state = StateConnecting;
    return true;
}

int CTcpSocket::Receive(void* buffer, int size)
{
    // A read of nothing would look exactly like the peer's close.
    if (size <= 0)
    {
        return 0;
    }
    const int received = os::ReceiveBytes(m_handle, buffer, size);
    if (received > 0)
    {
        return received;
    }
    if (received == 0)
    {
        OnError(ErrorClosedByPeer);
        return -1;
    }
    const int error = os::LastSocketError();
    if (error == os::ErrorWouldBlock)
    {
        m_lastError = 0;
        return 0;
    }
    m_lastError = error;
    OnError(error);
    return -1;
}

int CTcpSocket::SendPending(bool consume)
{
    const int sent = SendBlock(m_outgoing.Data(), m_outgoing.Length());
    if (sent > 0 && consume)
    {
        m_outgoing.RemoveFront(sent);
    }
    return sent;
}

int CTcpSocket::SendBlock(const void* data, int32_t length)
{
    const int sent = os::SendBytes(m_handle, data, length);
    if (sent >= 0)
    {
        return sent;
    }
    const int error = os::LastSocketError();
    m_lastError = error;
    if (error == os::ErrorWouldBlock)
    {
        return 0;
    }
    OnError(error);
    return -1;
}

void CTcpSocket::Close(bool force)
{
    if (force)
    {
        m_outgoing.RemoveFront(m_outgoing.Length());
    }
    else
    {
        if (m_state == StateFresh)
        {
            return;
        }
        if ((m_state == StateConnected || m_state == StateClosing) && m_outgoing.Length() != 0)
        {
            m_state = StateClosing;
            return;
        }
    }
    if (m_handle != os::InvalidSocket)
    {
        os::CloseSocket(m_handle);
    }
    m_state = StateIdle;
    m_handle = os::InvalidSocket;
}

bool CTcpSocket::AppendOutgoing(const void* data, int32_t length)
{
    if (length <= 0 || data == nullptr)
    {
        return length == 0;
    }
    if (!m_outgoing.Reserve(length))
    {
        return false;
    }
    std::memcpy(m_outgoing.End(), data, static_cast<size_t>(length));
    return m_outgoing.Grow(length);
}
