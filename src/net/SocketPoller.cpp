#include "net/SocketPoller.h"

#include "os/Clock.h"
#include "support/Diagnostics.h"

#include <algorithm>

namespace
{

// The error a socket reports through SO_ERROR; never 0 when the query itself fails, so that the
// failure is still recorded.
int PendingErrorOf(os::SocketHandle handle)
{
    int error = 0;
    if (os::PendingSocketError(handle, error))
    {
        return error;
    }
    const int queryError = os::LastSocketError();
    return queryError != 0 ? queryError : os::ErrorConnectionReset;
}

} // namespace

CSocketPoller::CSocketPoller()
{
    // A failure shows later, as a failing Create.
    os::StartSockets();
}

CSocketPoller::~CSocketPoller()
{
    while (!m_sockets.empty())
    {
        const Registration front = m_sockets.front();
        if (front.pollerOwned)
        {
            DeleteOwnedSocket(front.socket);
        }
        else
        {
            m_sockets.erase(m_sockets.begin());
        }
    }
    os::StopSockets();
}

void CSocketPoller::Purge()
{
    size_t index = 0;
    while (index < m_sockets.size())
    {
        const Registration& entry = m_sockets[index];
        if (entry.pollerOwned && entry.socket->State() == CTcpSocket::StateIdle)
        {
            DeleteOwnedSocket(entry.socket);
        }
        else
        {
            ++index;
        }
    }
}

void CSocketPoller::DeleteOwnedSocket(CTcpSocket* socket)
{
    m_sockets.erase(std::remove_if(m_sockets.begin(), m_sockets.end(),
                                   [socket](const Registration& entry) { return entry.socket == socket; }),
                    m_sockets.end());
    delete socket;
}

void CSocketPoller::Register(CTcpSocket* socket)
{
    m_sockets.push_back(Registration{socket, socket->IsPollerOwned()});
    Diagnostic("Socket Nr.%d registriert. \n\r", static_cast<int>(socket->Handle()));
}

void CSocketPoller::WaitTimeout(bool useInterval, long& seconds, long& microseconds) const
{
    seconds = 0;
    microseconds = 0;
    if (useInterval && m_interval > 0)
    {
        seconds = m_interval / 1000;
        microseconds = (m_interval % 1000) * 1000L;
    }
}

bool CSocketPoller::Poll(bool repeat, bool useInterval)
{
    long seconds = 0;
    long microseconds = 0;
    WaitTimeout(useInterval, seconds, microseconds);
    if (m_stopRequested)
    {
        return true;
    }
    for (;;)
    {
        RunCycle(seconds, microseconds);
        Purge();
        if (m_stopRequested)
        {
            return true;
        }
        if (!repeat)
        {
            return false;
        }
    }
}

void CSocketPoller::RunCycle(long seconds, long microseconds)
{
    if (!BuildSets())
    {
        // Nothing to watch: keep the cycle's pace without a wait call.
        if (m_interval > 0)
        {
            os::SleepMilliseconds(m_interval);
        }
        return;
    }
    os::SocketList readable{m_readSet.Handles(), m_readSet.Count()};
    os::SocketList writable{m_writeSet.Handles(), m_writeSet.Count()};
    os::SocketList failed{m_errorSet.Handles(), m_errorSet.Count()};
    if (os::WaitForSockets(readable, writable, failed, seconds, microseconds) <= 0)
    {
        return;
    }
    m_readSet.Truncate(readable.count);
    m_writeSet.Truncate(writable.count);
    m_errorSet.Truncate(failed.count);
    DeliverEvents();
}

bool CSocketPoller::BuildSets()
{
    m_readSet.Clear();
    m_writeSet.Clear();
    m_errorSet.Clear();
    bool anyTaken = false;
    for (const Registration& entry : m_sockets)
    {
        CTcpSocket* socket = entry.socket;
        const os::SocketHandle handle = socket->Handle();
        switch (socket->State())
        {
        case CTcpSocket::StateConnected:
            if (socket->WantsWrite())
            {
                m_writeSet.Add(handle);
            }
            if (socket->WantsRead())
            {
                m_readSet.Add(handle);
            }
            break;
        case CTcpSocket::StateConnecting:
        case CTcpSocket::StateClosing:
            m_writeSet.Add(handle);
            break;
        default:
            continue;
        }
        m_errorSet.Add(handle);
        anyTaken = true;
    }
    return anyTaken;
}

void CSocketPoller::DeliverEvents()
{
    // The list is read anew at every step: an event may register further sockets.
    for (size_t index = 0; index < m_sockets.size(); ++index)
    {
        CTcpSocket* socket = m_sockets[index].socket;
        os::SocketHandle handle = socket->Handle();
        if (handle != os::InvalidSocket && m_errorSet.Contains(handle))
        {
            socket->OnError(PendingErrorOf(handle));
            socket->AfterEvents();
            continue;
        }
        if (handle != os::InvalidSocket && m_readSet.Contains(handle))
        {
            socket->OnReceive(0);
            handle = socket->Handle();
        }
        if (handle != os::InvalidSocket && m_writeSet.Contains(handle))
        {
            if (socket->State() == CTcpSocket::StateConnecting)
            {
                // A failed connect also shows as writable on POSIX; only SO_ERROR tells them apart.
                const int error = PendingErrorOf(handle);
                if (error != 0)
                {
                    socket->OnError(error);
                }
                else
                {
                    socket->MarkConnected();
                    socket->OnConnect(0);
                }
                socket->AfterEvents();
                continue;
            }
            socket->OnSend(0);
        }
        socket->AfterEvents();
    }
}
