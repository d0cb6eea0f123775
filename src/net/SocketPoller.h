#pragma once

#include "net/SocketHandleSet.h"
#include "net/TcpSocket.h"

#include <cstdint>
#include <vector>

// Keeps the process's sockets and drives them: each poll cycle waits at most the interval for any of
// them to become readable, writable or failed and then calls their event operations in registration
// order. It is the only source of socket events. It holds pointers only and deletes just the
// sockets that are poller-owned.
class CSocketPoller
{
public:
    static constexpr int32_t DefaultIntervalMilliseconds = 10;

    CSocketPoller();
    CSocketPoller(const CSocketPoller&) = delete;
    CSocketPoller& operator=(const CSocketPoller&) = delete;
    // Deletes the poller-owned sockets still registered and ends the sockets interface.
    virtual ~CSocketPoller();

    // Removes closed poller-owned sockets from the list and deletes them; run after every cycle.
    virtual void Purge();

    // Appends the socket to the list; registering it twice delivers its events twice per cycle.
    // A socket that is not poller-owned must stay alive while the poller polls; the destructor
    // does not touch it.
    void Register(CTcpSocket* socket);
    void SetInterval(int32_t milliseconds) { m_interval = milliseconds; }
    int32_t Interval() const { return m_interval; }
    // One poll cycle, or cycles until a stop is requested when `repeat` is set. The wait uses the
    // interval when `useInterval` is set, else returns at once. Returns whether a stop is requested.
    bool Poll(bool repeat, bool useInterval);
    void RequestStop() { m_stopRequested = true; }

    // The wait of one cycle as seconds and microseconds.
    void WaitTimeout(bool useInterval, long& seconds, long& microseconds) const;
    int32_t SocketCount() const { return static_cast<int32_t>(m_sockets.size()); }

private:
    // Fills the three sets from the sockets' states; false when no socket is to be watched.
    bool BuildSets();
    void RunCycle(long seconds, long microseconds);
    void DeliverEvents();
    // Removes every entry of `socket` and deletes it once, however often it was registered.
    void DeleteOwnedSocket(CTcpSocket* socket);

    struct Registration
    {
        CTcpSocket* socket;
        // Taken at registration, so that the destructor need not look at sockets it does not own.
        bool pollerOwned;
    };

    bool m_stopRequested = false;
    std::vector<Registration> m_sockets;
    int32_t m_interval = DefaultIntervalMilliseconds;
    CSocketHandleSet m_readSet;
    CSocketHandleSet m_writeSet;
    CSocketHandleSet m_errorSet;
};
