#include "LoopbackRecorder.h"

#include <arpa/inet.h>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
constexpr size_t kHeaderSize = CCommandPacket::HeaderSize();
constexpr int kAcceptTimeoutMs = 1000;
} // namespace

CLoopbackRecorder::CLoopbackRecorder()
{
    m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(m_listener, 4) != 0 ||
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    {
        std::perror("loopback recorder");
        std::abort();
    }
    m_port = ntohs(address.sin_port);
}

CLoopbackRecorder::~CLoopbackRecorder()
{
    Abort();
    close(m_listener);
}

bool CLoopbackRecorder::Accept()
{
    Abort();
    pollfd pending{m_listener, POLLIN, 0};
    if (poll(&pending, 1, kAcceptTimeoutMs) != 1)
        return false;
    m_connection = accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (m_connection < 0)
        return false;
    const int on = 1;
    setsockopt(m_connection, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return true;
}

size_t CLoopbackRecorder::SendSome(const uint8_t* bytes, size_t length)
{
    if (m_connection < 0 || length == 0)
        return 0;
    const ssize_t sent = send(m_connection, bytes, length, MSG_NOSIGNAL);
    return sent > 0 ? static_cast<size_t>(sent) : 0;
}

std::vector<CCommandPacket> CLoopbackRecorder::ReceivePackets()
{
    uint8_t chunk[4096];
    ssize_t received = 0;
    while (m_connection >= 0 && (received = recv(m_connection, chunk, sizeof chunk, 0)) > 0)
        m_received.insert(m_received.end(), chunk, chunk + received);

    // The session's own packets are well-formed; a header that is not is skipped with the rest.
    std::vector<CCommandPacket> packets;
    size_t offset = 0;
    while (m_received.size() - offset >= kHeaderSize)
    {
        CCommandPacket header;
        if (!header.ReadFrom(m_received.data() + offset) || header.DataLen() < 0)
        {
            offset = m_received.size();
            break;
        }
        const size_t packetSize = kHeaderSize + static_cast<size_t>(header.DataLen());
        if (m_received.size() - offset < packetSize)
            break;
        packets.push_back(header);
        offset += packetSize;
    }
    m_received.erase(m_received.begin(), m_received.begin() + static_cast<std::ptrdiff_t>(offset));
    return packets;
}

void CLoopbackRecorder::HangUp()
{
    if (m_connection >= 0)
        shutdown(m_connection, SHUT_WR);
}

void CLoopbackRecorder::Abort()
{
    if (m_connection >= 0)
    {
        const linger reset{1, 0};
        setsockopt(m_connection, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
        close(m_connection);
        m_connection = -1;
    }
    m_received.clear();
}
