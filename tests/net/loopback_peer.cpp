#include "loopback_peer.h"

#include "wire/CommandPacket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace loopback
{

namespace
{

int BoundSocket(int& port)
{
    const int descriptor = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (descriptor < 0 || bind(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(descriptor, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    {
        close(descriptor);
        return -1;
    }
    port = ntohs(address.sin_port);
    return descriptor;
}

bool WaitFor(int descriptor, short events, int timeoutMs)
{
    pollfd entry{descriptor, events, 0};
    return poll(&entry, 1, timeoutMs) > 0;
}

bool WouldBlock()
{
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
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
        const ssize_t result =
            send(m_descriptor, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (result > 0)
        {
            sent += static_cast<size_t>(result);
        }
        else if (!WouldBlock() || !WaitFor(m_descriptor, POLLOUT, TimeoutMs))
        {
            return false;
        }
    }
    return true;
}

bool Peer::ReadAvailable(Bytes& out)
{
    uint8_t chunk[65536];
    ssize_t result;
    while ((result = recv(m_descriptor, chunk, sizeof chunk, MSG_DONTWAIT)) > 0)
    {
        out.insert(out.end(), chunk, chunk + result);
    }
    return result < 0 && WouldBlock();
}

bool Peer::ReadUntil(Bytes& out, size_t length)
{
    while (out.size() < length && ReadAvailable(out))
    {
        if (out.size() < length && !WaitFor(m_descriptor, POLLIN, TimeoutMs))
        {
            return false;
        }
    }
    return out.size() >= length;
}

bool Peer::DataArrivesWithin(int timeoutMs)
{
    uint8_t byte = 0;
    return WaitFor(m_descriptor, POLLIN, timeoutMs) &&
           recv(m_descriptor, &byte, 1, MSG_PEEK | MSG_DONTWAIT) > 0;
}

void Peer::Close()
{
    if (m_descriptor >= 0)
    {
        close(m_descriptor);
        m_descriptor = -1;
    }
}

void Peer::Abort()
{
    const linger immediate{1, 0};
    setsockopt(m_descriptor, SOL_SOCKET, SO_LINGER, &immediate, sizeof immediate);
    Close();
}

Listener::Listener()
{
    m_descriptor = BoundSocket(m_port);
    if (m_descriptor >= 0)
    {
        listen(m_descriptor, 16);
    }
}

Listener::~Listener()
{
    close(m_descriptor);
}

Peer Listener::Accept()
{
    if (m_descriptor < 0 || !WaitFor(m_descriptor, POLLIN, TimeoutMs))
    {
        return Peer();
    }
    return Peer(accept4(m_descriptor, nullptr, nullptr, SOCK_CLOEXEC));
}

int RefusedPort()
{
    // Released again without listening; another bind of it in between is very unlikely.
    int port = -1;
    close(BoundSocket(port));
    return port;
}

int PeekAvailable(int64_t handle, int limit)
{
    Bytes scratch(static_cast<size_t>(limit));
    const ssize_t result =
        recv(static_cast<int>(handle), scratch.data(), scratch.size(), MSG_PEEK | MSG_DONTWAIT);
    return result > 0 ? static_cast<int>(result) : 0;
}

Bytes PacketBytes(uint16_t target, uint16_t com, uint16_t ident, int32_t lParam, const Bytes& payload,
                  uint16_t ack)
{
    CCommandPacket header;
    header.Set(target, com, ident, lParam, static_cast<int32_t>(payload.size()), ack);
    CCommandPacket wire;
    header.CopyTo(wire);
    Bytes bytes(CCommandPacket::HeaderSize());
    wire.WriteTo(bytes.data());
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    return bytes;
}

Bytes Pattern(size_t length)
{
    Bytes bytes(length);
    for (size_t i = 0; i < length; ++i)
    {
        bytes[i] = static_cast<uint8_t>((i * 13 + i / 509) & 0xff);
    }
    return bytes;
}

} // namespace loopback
