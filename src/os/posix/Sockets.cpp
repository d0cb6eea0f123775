#include "os/Sockets.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <vector>

namespace os
{

namespace
{

// Per thread, like WSAGetLastError: test peers on other threads must not disturb it.
thread_local int t_lastSocketError = 0;

int RecordError(int systemError)
{
    t_lastSocketError = SocketErrorFromSystem(systemError);
    return t_lastSocketError;
}

int ToDescriptor(SocketHandle handle)
{
    return static_cast<int>(handle);
}

#ifdef MSG_NOSIGNAL
constexpr int SendFlags = MSG_NOSIGNAL;
#else
constexpr int SendFlags = 0;
#endif

// Integer options at socket level; `value` is left alone when the option cannot be read.
bool GetSocketOption(SocketHandle handle, int name, int& value)
{
    int read = 0;
    socklen_t length = sizeof read;
    if (getsockopt(ToDescriptor(handle), SOL_SOCKET, name, &read, &length) != 0)
    {
        RecordError(errno);
        return false;
    }
    value = read;
    return true;
}

bool SetSocketOption(SocketHandle handle, int name, int value)
{
    if (setsockopt(ToDescriptor(handle), SOL_SOCKET, name, &value, sizeof value) != 0)
    {
        RecordError(errno);
        return false;
    }
    return true;
}

int TimeoutMilliseconds(long seconds, long microseconds)
{
    if (seconds < 0 || microseconds < 0)
    {
        return 0;
    }
    // Rounded up so that a short positive wait never turns into a busy loop.
    const long long total = static_cast<long long>(seconds) * 1000 + (microseconds + 999) / 1000;
    return total > 0x7fffffff ? 0x7fffffff : static_cast<int>(total);
}

} // namespace

int SocketErrorFromSystem(int systemError)
{
    switch (systemError)
    {
    case 0:
        return 0;
    case EWOULDBLOCK:
#if EAGAIN != EWOULDBLOCK
    case EAGAIN:
#endif
    case EINPROGRESS:
        return ErrorWouldBlock;
    case ECONNRESET:
        return ErrorConnectionReset;
    case ESHUTDOWN:
    case EPIPE:
        return ErrorShutDown;
    case ETIMEDOUT:
        return ErrorTimedOut;
    case ECONNREFUSED:
        return ErrorRefused;
    case EHOSTUNREACH:
    case ENETUNREACH:
        return ErrorHostUnreachable;
    default:
        return ErrorOtherBase + systemError;
    }
}

int LastSocketError()
{
    return t_lastSocketError;
}

int StartSockets()
{
    return 0;
}

void StopSockets() {}

SocketHandle CreateTcpSocket()
{
    int type = SOCK_STREAM;
#ifdef SOCK_CLOEXEC
    // Setups started later must not inherit the connection.
    type |= SOCK_CLOEXEC;
#endif
    const int descriptor = socket(AF_INET, type, IPPROTO_TCP);
    if (descriptor < 0)
    {
        RecordError(errno);
        return InvalidSocket;
    }
#if !defined(MSG_NOSIGNAL) && defined(SO_NOSIGPIPE)
    const int on = 1;
    setsockopt(descriptor, SOL_SOCKET, SO_NOSIGPIPE, &on, sizeof on);
#endif
    return descriptor;
}

bool SetNonBlocking(SocketHandle handle)
{
    const int flags = fcntl(ToDescriptor(handle), F_GETFL, 0);
    if (flags < 0 || fcntl(ToDescriptor(handle), F_SETFL, flags | O_NONBLOCK) < 0)
    {
        RecordError(errno);
        return false;
    }
    return true;
}

void CloseSocket(SocketHandle handle)
{
    if (handle != InvalidSocket)
    {
        close(ToDescriptor(handle));
    }
}

bool ParseIPv4Address(const char* text, uint32_t& networkOrderAddress)
{
    if (text == nullptr)
    {
        return false;
    }
    const in_addr_t address = inet_addr(text);
    if (address == INADDR_NONE)
    {
        return false;
    }
    networkOrderAddress = address;
    return true;
}

bool LookupIPv4Host(const char* name, uint32_t& networkOrderAddress)
{
    if (name == nullptr || *name == '\0')
    {
        return false;
    }
    addrinfo hints;
    std::memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* results = nullptr;
    if (getaddrinfo(name, nullptr, &hints, &results) != 0 || results == nullptr)
    {
        return false;
    }
    bool found = false;
    for (const addrinfo* entry = results; entry != nullptr && !found; entry = entry->ai_next)
    {
        if (entry->ai_family == AF_INET && entry->ai_addr != nullptr)
        {
            sockaddr_in address;
            std::memcpy(&address, entry->ai_addr, sizeof address);
            networkOrderAddress = address.sin_addr.s_addr;
            found = true;
        }
    }
    freeaddrinfo(results);
    return found;
}

bool ConnectIPv4(SocketHandle handle, uint32_t networkOrderAddress, int port)
{
    sockaddr_in address;
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = networkOrderAddress;
    if (connect(ToDescriptor(handle), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
    {
        return true;
    }
    // An interrupted non-blocking connect goes on in the background, like one in progress.
    RecordError(errno == EINTR ? EINPROGRESS : errno);
    return false;
}

int ReceiveBytes(SocketHandle handle, void* buffer, int size)
{
    ssize_t received;
    do
    {
        received = recv(ToDescriptor(handle), buffer, static_cast<size_t>(size), 0);
    } while (received < 0 && errno == EINTR);
    if (received < 0)
    {
        RecordError(errno);
        return -1;
    }
    return static_cast<int>(received);
}

int SendBytes(SocketHandle handle, const void* data, int length)
{
    ssize_t sent;
    do
    {
        sent = send(ToDescriptor(handle), data, static_cast<size_t>(length), SendFlags);
    } while (sent < 0 && errno == EINTR);
    if (sent < 0)
    {
        RecordError(errno);
        return -1;
    }
    return static_cast<int>(sent);
}

bool PendingSocketError(SocketHandle handle, int& error)
{
    int value = 0;
    if (!GetSocketOption(handle, SO_ERROR, value))
    {
        return false;
    }
    error = SocketErrorFromSystem(value);
    return true;
}

bool ReceiveBufferSize(SocketHandle handle, int& size)
{
    return GetSocketOption(handle, SO_RCVBUF, size);
}

bool SetReceiveBufferSize(SocketHandle handle, int size)
{
    return SetSocketOption(handle, SO_RCVBUF, size);
}

bool SetSendBufferSize(SocketHandle handle, int size)
{
    return SetSocketOption(handle, SO_SNDBUF, size);
}

int WaitForSockets(SocketList& readable, SocketList& writable, SocketList& failed, long seconds,
                   long microseconds)
{
    SocketList* lists[] = {&readable, &writable, &failed};
    const short listEvents[] = {POLLIN, POLLOUT, 0};

    // One pollfd per distinct handle; slotOf[list][i] is the pollfd of entry i of that list.
    std::vector<pollfd> descriptors;
    std::vector<int> slotOf[3];
    for (int list = 0; list < 3; ++list)
    {
        const SocketList& entries = *lists[list];
        slotOf[list].resize(entries.count > 0 ? static_cast<size_t>(entries.count) : 0);
        for (int i = 0; i < entries.count; ++i)
        {
            const int descriptor = ToDescriptor(entries.handles[i]);
            size_t slot = 0;
            while (slot < descriptors.size() && descriptors[slot].fd != descriptor)
            {
                ++slot;
            }
            if (slot == descriptors.size())
            {
                descriptors.push_back(pollfd{descriptor, 0, 0});
            }
            descriptors[slot].events = static_cast<short>(descriptors[slot].events | listEvents[list]);
            slotOf[list][static_cast<size_t>(i)] = static_cast<int>(slot);
        }
    }

    const int result = poll(descriptors.data(), static_cast<nfds_t>(descriptors.size()),
                            TimeoutMilliseconds(seconds, microseconds));
    if (result < 0)
    {
        RecordError(errno);
        return -1;
    }

    // A handle also watched for reading or writing reveals its hang-up or error through those.
    std::vector<bool> watchedForData(descriptors.size(), false);
    for (int list = 0; list < 2; ++list)
    {
        for (int slot : slotOf[list])
        {
            watchedForData[static_cast<size_t>(slot)] = true;
        }
    }

    int ready = 0;
    for (int list = 0; list < 3; ++list)
    {
        SocketList& entries = *lists[list];
        int kept = 0;
        for (int i = 0; i < entries.count; ++i)
        {
            const size_t slot = static_cast<size_t>(slotOf[list][static_cast<size_t>(i)]);
            const short events = descriptors[slot].revents;
            bool isReady = false;
            if (list == 0)
            {
                isReady = (events & (POLLIN | POLLHUP | POLLERR)) != 0;
            }
            else if (list == 1)
            {
                isReady = (events & (POLLOUT | POLLHUP | POLLERR)) != 0;
            }
            else
            {
                isReady = (events & POLLNVAL) != 0 ||
                          ((events & (POLLHUP | POLLERR)) != 0 && !watchedForData[slot]);
            }
            if (isReady)
            {
                entries.handles[kept++] = entries.handles[i];
            }
        }
        entries.count = kept;
        ready += kept;
    }
    return ready;
}

SocketHandle ListenOnLoopback(int port, int backlog, int& boundPort)
{
    if (port < 0 || port > 65535)
    {
        RecordError(EINVAL);
        return InvalidSocket;
    }
    const SocketHandle listener = CreateTcpSocket();
    if (listener == InvalidSocket)
    {
        return InvalidSocket;
    }
    // A port left in TIME_WAIT by the previous run may be taken again at once.
    const int on = 1;
    setsockopt(ToDescriptor(listener), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    socklen_t length = sizeof address;
    if (bind(ToDescriptor(listener), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(ToDescriptor(listener), backlog) != 0 ||
        getsockname(ToDescriptor(listener), reinterpret_cast<sockaddr*>(&address), &length) != 0)
    {
        RecordError(errno);
        close(ToDescriptor(listener));
        return InvalidSocket;
    }
    boundPort = ntohs(address.sin_port);
    return listener;
}

SocketHandle AcceptConnection(SocketHandle listener)
{
#ifdef SOCK_CLOEXEC
    const int handle = accept4(ToDescriptor(listener), nullptr, nullptr, SOCK_CLOEXEC);
#else
    const int handle = accept(ToDescriptor(listener), nullptr, nullptr);
#endif
    if (handle < 0)
    {
        RecordError(errno);
        return InvalidSocket;
    }
    return static_cast<SocketHandle>(handle);
}

bool SetNoDelay(SocketHandle handle)
{
    const int on = 1;
    return setsockopt(ToDescriptor(handle), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) == 0;
}

void ShutdownSocket(SocketHandle handle)
{
    shutdown(ToDescriptor(handle), SHUT_RDWR);
}

} // namespace os
