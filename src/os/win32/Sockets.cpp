#include "os/Sockets.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>
#include <cstring>

namespace os
{

namespace
{

// An fd_set-shaped block large enough for any number of handles.
struct HandleBlock
{
    u_int count;
    SOCKET handles[1];
};

HandleBlock* NewBlock(const SocketList& list)
{
    const int slots = list.count > 0 ? list.count : 1;
    auto* block = static_cast<HandleBlock*>(
        std::malloc(sizeof(HandleBlock) + sizeof(SOCKET) * static_cast<size_t>(slots - 1)));
    if (block == nullptr)
    {
        return nullptr;
    }
    block->count = 0;
    for (int i = 0; i < list.count; ++i)
    {
        block->handles[block->count++] = static_cast<SOCKET>(list.handles[i]);
    }
    return block;
}

void CopyBack(const HandleBlock* block, SocketList& list)
{
    list.count = static_cast<int>(block->count);
    for (u_int i = 0; i < block->count; ++i)
    {
        list.handles[i] = static_cast<SocketHandle>(block->handles[i]);
    }
}

// Integer options at socket level; `value` is left alone when the option cannot be read.
bool GetSocketOption(SocketHandle handle, int name, int& value)
{
    int read = 0;
    int length = sizeof read;
    if (getsockopt(static_cast<SOCKET>(handle), SOL_SOCKET, name, reinterpret_cast<char*>(&read), &length) !=
        0)
    {
        return false;
    }
    value = read;
    return true;
}

bool SetSocketOption(SocketHandle handle, int name, int value)
{
    return setsockopt(static_cast<SOCKET>(handle), SOL_SOCKET, name, reinterpret_cast<const char*>(&value),
                      sizeof value) == 0;
}

} // namespace

int SocketErrorFromSystem(int systemError)
{
    return systemError;
}

int LastSocketError()
{
    return WSAGetLastError();
}

int StartSockets()
{
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data);
}

void StopSockets()
{
    WSACleanup();
}

SocketHandle CreateTcpSocket()
{
    const SOCKET handle = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    return handle == INVALID_SOCKET ? InvalidSocket : static_cast<SocketHandle>(handle);
}

bool SetNonBlocking(SocketHandle handle)
{
    u_long on = 1;
    return ioctlsocket(static_cast<SOCKET>(handle), FIONBIO, &on) == 0;
}

void CloseSocket(SocketHandle handle)
{
    if (handle != InvalidSocket)
    {
        closesocket(static_cast<SOCKET>(handle));
    }
}

bool ParseIPv4Address(const char* text, uint32_t& networkOrderAddress)
{
    if (text == nullptr)
    {
        return false;
    }
    const unsigned long address = inet_addr(text);
    if (address == INADDR_NONE)
    {
        return false;
    }
    networkOrderAddress = static_cast<uint32_t>(address);
    return true;
}

bool LookupIPv4Host(const char* name, uint32_t& networkOrderAddress)
{
    // The sockets interface takes an empty name as this computer's own; here it names no host.
    if (name == nullptr || *name == '\0')
    {
        return false;
    }
    // A dotted address that the classic conversion cannot tell from a failure (255.255.255.255)
    // is still an address; not every implementation of the lookup says so.
    in_addr numeric{};
    if (inet_pton(AF_INET, name, &numeric) == 1)
    {
        networkOrderAddress = numeric.s_addr;
        return true;
    }
    const hostent* host = gethostbyname(name);
    if (host == nullptr || host->h_addrtype != AF_INET || host->h_addr_list[0] == nullptr)
    {
        return false;
    }
    std::memcpy(&networkOrderAddress, host->h_addr_list[0], sizeof networkOrderAddress);
    return true;
}

bool ConnectIPv4(SocketHandle handle, uint32_t networkOrderAddress, int port)
{
    sockaddr_in address;
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = networkOrderAddress;
    return connect(static_cast<SOCKET>(handle), reinterpret_cast<const sockaddr*>(&address),
                   sizeof address) == 0;
}

int ReceiveBytes(SocketHandle handle, void* buffer, int size)
{
    const int received = recv(static_cast<SOCKET>(handle), static_cast<char*>(buffer), size, 0);
    return received == SOCKET_ERROR ? -1 : received;
}

int SendBytes(SocketHandle handle, const void* data, int length)
{
    const int sent = send(static_cast<SOCKET>(handle), static_cast<const char*>(data), length, 0);
    return sent == SOCKET_ERROR ? -1 : sent;
}

bool PendingSocketError(SocketHandle handle, int& error)
{
    return GetSocketOption(handle, SO_ERROR, error);
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
    HandleBlock* readBlock = NewBlock(readable);
    HandleBlock* writeBlock = NewBlock(writable);
    HandleBlock* errorBlock = NewBlock(failed);
    int result = -1;
    if (readBlock != nullptr && writeBlock != nullptr && errorBlock != nullptr)
    {
        timeval timeout;
        timeout.tv_sec = seconds;
        timeout.tv_usec = microseconds;
        // The blocks are laid out like fd_set but may hold more than FD_SETSIZE handles.
        result = select(0, reinterpret_cast<fd_set*>(readBlock), reinterpret_cast<fd_set*>(writeBlock),
                        reinterpret_cast<fd_set*>(errorBlock), &timeout);
        if (result > 0)
        {
            CopyBack(readBlock, readable);
            CopyBack(writeBlock, writable);
            CopyBack(errorBlock, failed);
        }
        else
        {
            readable.count = writable.count = failed.count = 0;
            result = result == SOCKET_ERROR ? -1 : 0;
        }
    }
    std::free(readBlock);
    std::free(writeBlock);
    std::free(errorBlock);
    return result;
}

SocketHandle ListenOnLoopback(int port, int backlog, int& boundPort)
{
    if (port < 0 || port > 65535)
    {
        WSASetLastError(WSAEINVAL);
        return InvalidSocket;
    }
    const SocketHandle listener = CreateTcpSocket();
    if (listener == InvalidSocket)
    {
        return InvalidSocket;
    }
    // No SO_REUSEADDR here: on Windows it would let another program take the port over.
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(port));
    int length = sizeof address;
    const auto native = static_cast<SOCKET>(listener);
    if (bind(native, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(native, backlog) != 0 ||
        getsockname(native, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    {
        const int error = WSAGetLastError();
        closesocket(native);
        WSASetLastError(error);
        return InvalidSocket;
    }
    boundPort = ntohs(address.sin_port);
    return listener;
}

SocketHandle AcceptConnection(SocketHandle listener)
{
    const SOCKET handle = accept(static_cast<SOCKET>(listener), nullptr, nullptr);
    if (handle == INVALID_SOCKET)
    {
        return InvalidSocket;
    }
    return static_cast<SocketHandle>(handle);
}

bool SetNoDelay(SocketHandle handle)
{
    const BOOL on = TRUE;
    return setsockopt(static_cast<SOCKET>(handle), IPPROTO_TCP, TCP_NODELAY,
                      reinterpret_cast<const char*>(&on), sizeof on) == 0;
}

void ShutdownSocket(SocketHandle handle)
{
    shutdown(static_cast<SOCKET>(handle), SD_BOTH);
}

} // namespace os
