#include "loopback_peer.h"

#include "os/Sockets.h"
#include "wire/CommandPacket.h"

#ifdef _WIN32
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

namespace loopback
{

namespace
{

// Peeking and an abortive close have no counterpart among the program's own socket services.
int PeekBytes(os::SocketHandle handle, void* buffer, int size)
{
#ifdef _WIN32
    return recv(static_cast<SOCKET>(handle), static_cast<char*>(buffer), size, MSG_PEEK);
#else
    return static_cast<int>(
        recv(static_cast<int>(handle), buffer, static_cast<size_t>(size), MSG_PEEK | MSG_DONTWAIT));
#endif
}

void LingerWithReset(os::SocketHandle handle)
{
    const linger immediate{1, 0};
#ifdef _WIN32
    setsockopt(static_cast<SOCKET>(handle), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&immediate),
               sizeof immediate);
#else
    setsockopt(static_cast<int>(handle), SOL_SOCKET, SO_LINGER, &immediate, sizeof immediate);
#endif
}

} // namespace

Peer& Peer::operator=(Peer&& other) noexcept
{
    Close();
    std::swap(m_descriptor, other.m_descriptor);
    return *this;
}

bool Peer::SendAll(const Bytes& bytes)
{
    size_t sent = 0;
    while (sent < bytes.size())
    {
        const int result =
            os::SendBytes(m_descriptor, bytes.data() + sent, static_cast<int>(bytes.size() - sent));
        if (result > 0)
        {
            sent += static_cast<size_t>(result);
        }
        else if (os::LastSocketError() != os::ErrorWouldBlock ||
                 !os::WaitUntilWritable(m_descriptor, TimeoutMs))
        {
            return false;
        }
    }
    return true;
}

bool Peer::ReadAvailable(Bytes& out)
{
    uint8_t chunk[65536];
    int result;
    while ((result = os::ReceiveBytes(m_descriptor, chunk, static_cast<int>(sizeof chunk))) > 0)
    {
        out.insert(out.end(), chunk, chunk + result);
    }
    return result < 0 && os::LastSocketError() == os::ErrorWouldBlock;
}

bool Peer::ReadUntil(Bytes& out, size_t length)
{
    while (out.size() < length && ReadAvailable(out))
    {
        if (out.size() < length && !os::WaitUntilReadable(m_descriptor, TimeoutMs))
        {
            return false;
        }
    }
    return out.size() >= length;
}

bool Peer::DataArrivesWithin(int timeoutMs)
{
    uint8_t byte = 0;
    return os::WaitUntilReadable(m_descriptor, timeoutMs) && PeekBytes(m_descriptor, &byte, 1) > 0;
}

void Peer::Close()
{
    if (m_descriptor != os::InvalidSocket)
    {
        os::CloseSocket(m_descriptor);
        m_descriptor = os::InvalidSocket;
    }
}

void Peer::Abort()
{
    LingerWithReset(m_descriptor);
    Close();
}

int PeekAvailable(int64_t handle, int limit)
{
    Bytes scratch(static_cast<size_t>(limit));
    const int result = PeekBytes(static_cast<os::SocketHandle>(handle), scratch.data(), limit);
    return result > 0 ? result : 0;
}

Bytes PacketBytes(uint16_t target, uint16_t com, uint16_t ident, int32_t lParam, const Bytes& payload,
                  uint16_t ack, std::optional<int32_t> dataLen)
{
    CCommandPacket header;
    header.Set(target, com, ident, lParam, dataLen.value_or(static_cast<int32_t>(payload.size())), ack);
    CCommandPacket wire;
    header.CopyTo(wire);
    Bytes bytes(CCommandPacket::HeaderSize());
    wire.WriteTo(bytes.data());
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    return bytes;
}

} // namespace loopback
