#include "os/Sockets.h"

// Waiting for one socket is the same on every platform: a select-style wait on a list of one.
namespace os
{

bool WaitUntilReadable(SocketHandle handle, int milliseconds)
{
    SocketHandle entry = handle;
    SocketList readable{&entry, 1};
    SocketList none{nullptr, 0};
    SocketList failed{nullptr, 0};
    return WaitForSockets(readable, none, failed, milliseconds / 1000, (milliseconds % 1000) * 1000L) > 0;
}

bool WaitUntilWritable(SocketHandle handle, int milliseconds)
{
    SocketHandle entry = handle;
    SocketList none{nullptr, 0};
    SocketList writable{&entry, 1};
    SocketList failed{nullptr, 0};
    return WaitForSockets(none, writable, failed, milliseconds / 1000, (milliseconds % 1000) * 1000L) > 0;
}

} // namespace os
