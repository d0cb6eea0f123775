#pragma once

#include <cstdint>

// TCP sockets for the transport. Every failure is reported with the Windows-sockets error numbers
// (see the constants below), whatever the platform, so the layers above see one set of codes.
namespace os
{

using SocketHandle = intptr_t;
constexpr SocketHandle InvalidSocket = -1;

constexpr int ErrorWouldBlock = 10035;
constexpr int ErrorConnectionReset = 10054;
constexpr int ErrorShutDown = 10058;
constexpr int ErrorTimedOut = 10060;
constexpr int ErrorRefused = 10061;
constexpr int ErrorHostUnreachable = 10065;
constexpr int ErrorVersionNotSupported = 10092;

// Platform error numbers without a Windows-sockets counterpart become this base plus the number,
// which keeps them distinct from every code above and from the transport's own codes.
constexpr int ErrorOtherBase = 20000;

// Translates a platform error number (errno on POSIX) to the numbering above; identity on Windows.
int SocketErrorFromSystem(int systemError);

// The translated error of the last failing call in this file, like WSAGetLastError.
int LastSocketError();

// Starts the sockets interface (version 2.2 where that matters). Returns 0 on success, else the
// interface's error number; ErrorVersionNotSupported still leaves a usable interface.
int StartSockets();
void StopSockets();

// An IPv4 TCP stream socket, or InvalidSocket.
SocketHandle CreateTcpSocket();
bool SetNonBlocking(SocketHandle handle);
void CloseSocket(SocketHandle handle);

// Dotted-address conversion with the classic inet_addr rules; false for anything it rejects,
// including 255.255.255.255, whose value cannot be told apart from a failure.
bool ParseIPv4Address(const char* text, uint32_t& networkOrderAddress);
// Name lookup restricted to IPv4; false when the name does not resolve. Sets no socket error.
bool LookupIPv4Host(const char* name, uint32_t& networkOrderAddress);

// Starts a connect; false with LastSocketError() set on failure (ErrorWouldBlock while a
// non-blocking connect is under way).
bool ConnectIPv4(SocketHandle handle, uint32_t networkOrderAddress, int port);

// One recv: byte count, 0 when the peer closed the connection, -1 with LastSocketError() set.
int ReceiveBytes(SocketHandle handle, void* buffer, int size);
// One send that never raises a signal: byte count or -1 with LastSocketError() set.
int SendBytes(SocketHandle handle, const void* data, int length);

// The pending error of the socket (SO_ERROR), translated; false when it cannot be read.
bool PendingSocketError(SocketHandle handle, int& error);
bool ReceiveBufferSize(SocketHandle handle, int& size);
bool SetReceiveBufferSize(SocketHandle handle, int size);
bool SetSendBufferSize(SocketHandle handle, int size);

// Serving on the loopback interface, for the recorder simulator and test peers (the program itself
// is only a client).
//
// A listening TCP socket on 127.0.0.1:`port`, where 0 picks a free port; `boundPort` receives the
// port. InvalidSocket with LastSocketError() set on failure.
SocketHandle ListenOnLoopback(int port, int backlog, int& boundPort);
// The next pending connection of a listening socket (blocking unless the listener is
// non-blocking), or InvalidSocket.
SocketHandle AcceptConnection(SocketHandle listener);
// Sends every queued byte at once instead of waiting to fill a segment.
bool SetNoDelay(SocketHandle handle);
// Ends both directions of the connection; the handle stays to be closed.
void ShutdownSocket(SocketHandle handle);
// True when the handle becomes readable (or writable) within `milliseconds`.
bool WaitUntilReadable(SocketHandle handle, int milliseconds);
bool WaitUntilWritable(SocketHandle handle, int milliseconds);

// A list of handles for WaitForSockets; rewritten in place, select-style.
struct SocketList
{
    SocketHandle* handles;
    int count;
};

// Waits at most seconds + microseconds until a handle of one of the lists can be read, written or
// has failed. On return each list holds only its ready handles, in their original order, and its
// count says how many. Returns the number of ready entries, 0 on time-out, -1 on failure.
//
// On POSIX a hang-up or pending error is reported the way select() reports it there, through the
// read and write lists, so that buffered data is still read before recv() reports the close, and a
// failed non-blocking connect shows as writable with PendingSocketError() set; only a handle
// watched in neither of those lists reports such a condition through the error list. On Windows a
// failed connect arrives in the error list. Callers therefore check PendingSocketError() for a
// connecting socket in either list.
int WaitForSockets(SocketList& readable, SocketList& writable, SocketList& failed, long seconds,
                   long microseconds);

} // namespace os
