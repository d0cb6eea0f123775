#include "ScratchDirectory.h"
#include "SilentListener.h"
#include "WineDetection.h"
#include "loopback_peer.h"

#include "ScopedDiagnosticCapture.h"
#include "net/SocketHandleSet.h"
#include "net/SocketPoller.h"
#include "net/TcpSocket.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

using namespace loopback;
using Log = std::vector<std::string>;

TEST(SocketHandleSet, SixtyFourthHandleGrowsTheSetByTenWordsAndKeepsAll)
{
    CSocketHandleSet set;
    for (os::SocketHandle handle = 100; handle < 163; ++handle)
    {
        ASSERT_TRUE(set.Add(handle));
        ASSERT_TRUE(set.Add(handle)); // no duplicates
    }
    EXPECT_EQ(set.Count(), 63);
    EXPECT_EQ(set.Capacity(), 64);
    ASSERT_TRUE(set.Add(163));
    EXPECT_EQ(set.Count(), 64);
    EXPECT_EQ(set.Capacity(), 74);
    for (os::SocketHandle handle = 100; handle <= 163; ++handle)
    {
        EXPECT_TRUE(set.Contains(handle)) << handle;
    }
    set.Clear();
    EXPECT_FALSE(set.Contains(100));
    EXPECT_EQ(set.Capacity(), 74);
}

// Records the events it receives.
class RecordingSocket : public CTcpSocket
{
public:
    explicit RecordingSocket(Log& log, bool pollerOwned = false, int* destroyed = nullptr)
        : m_log(log), m_destroyed(destroyed)
    {
        SetPollerOwned(pollerOwned);
    }
    ~RecordingSocket() override
    {
        if (m_destroyed)
        {
            ++*m_destroyed;
        }
    }

    bool WantsRead() override { return wantsRead; }
    bool WantsWrite() override { return wantsWrite || CTcpSocket::WantsWrite(); }
    void OnReceive(int) override { m_log.push_back("receive"); }
    void OnConnect(int) override { m_log.push_back("connect"); }
    void OnSend(int unused) override
    {
        m_log.push_back("send");
        CTcpSocket::OnSend(unused);
        if (stopAfterSends > 0 && --stopAfterSends == 0)
        {
            poller->RequestStop();
        }
    }
    void OnError(int code) override
    {
        m_log.push_back("error " + std::to_string(code));
        CTcpSocket::OnError(code);
    }
    void AfterEvents() override
    {
        m_log.push_back("after");
        CTcpSocket::AfterEvents();
    }

    bool wantsRead = true;
    bool wantsWrite = false;
    int stopAfterSends = 0;
    CSocketPoller* poller = nullptr;

private:
    Log& m_log;
    int* m_destroyed;
};

TEST(SocketPoller, RegisterAnnouncesTheHandle)
{
    Log log;
    RecordingSocket fresh(log);
    RecordingSocket created(log);
    ASSERT_TRUE(created.Create());
    CSocketPoller poller;
    const CScopedDiagnosticCapture diagnostics;
    poller.Register(&fresh);
    poller.Register(&created);
    EXPECT_EQ(diagnostics.Text(), "Socket Nr.-1 registriert. \n\rSocket Nr." +
                                      std::to_string(created.Handle()) + " registriert. \n\r");
}

TEST(SocketPoller, WaitTimeoutComesFromTheInterval)
{
    const struct
    {
        int32_t interval;
        bool useInterval;
        long seconds;
        long microseconds;
    } cases[] = {{10, true, 0, 10000}, {1500, true, 1, 500000}, {1500, false, 0, 0}, {0, true, 0, 0}};
    for (const auto& c : cases)
    {
        CSocketPoller poller;
        poller.SetInterval(c.interval);
        long seconds = -1;
        long microseconds = -1;
        poller.WaitTimeout(c.useInterval, seconds, microseconds);
        EXPECT_EQ(seconds, c.seconds);
        EXPECT_EQ(microseconds, c.microseconds);
    }
}

TEST(SocketPoller, NothingToWatchSleepsTheIntervalAndCallsNothing)
{
    Log log;
    RecordingSocket fresh(log);
    RecordingSocket idle(log);
    ASSERT_TRUE(idle.Create());
    CSocketPoller poller;
    poller.Register(&fresh);
    poller.Register(&idle);
    poller.SetInterval(60);
    for (bool useInterval : {true, false})
    {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(poller.Poll(false, useInterval));
        const auto elapsed = std::chrono::steady_clock::now() - start;
        EXPECT_GE(elapsed, std::chrono::milliseconds(55));
        EXPECT_LT(elapsed, std::chrono::milliseconds(2000));
    }
    EXPECT_TRUE(log.empty());
}

class PollerWithPeer : public ::testing::Test
{
protected:
    // Starts a connect to the listener and registers the socket `times` times.
    void StartConnect(CSocketPoller& poller, RecordingSocket& socket, int times = 1)
    {
        ASSERT_TRUE(socket.Create());
        ASSERT_TRUE(socket.Connect("127.0.0.1", m_listener.Port()));
        m_peer = Peer(m_listener.Accept());
        for (int i = 0; i < times; ++i)
        {
            poller.Register(&socket);
        }
    }

    // The fixture's socket, connected, with its events so far forgotten.
    void Connect()
    {
        StartConnect(m_poller, m_socket);
        ASSERT_TRUE(PollUntil(m_poller, [&] { return m_socket.State() == CTcpSocket::StateConnected; }));
        m_log.clear();
    }

    CSilentListener m_listener;
    Peer m_peer;
    Log m_log;
    RecordingSocket m_socket{m_log}; // outlives the poller that points at it
    CSocketPoller m_poller;
};

TEST_F(PollerWithPeer, ConnectCycleDeliversNoSendEvenWithBytesWaiting)
{
    StartConnect(m_poller, m_socket);
    ASSERT_TRUE(m_socket.AppendOutgoing("ping", 4));
    ASSERT_TRUE(PollUntil(m_poller, [&] { return !m_log.empty(); }));
    EXPECT_EQ(m_log, (Log{"connect", "after"}));

    m_log.clear();
    m_poller.Poll(false, true);
    EXPECT_EQ(m_log, (Log{"send", "after"}));
    Bytes received;
    ASSERT_TRUE(m_peer.ReadUntil(received, 4));
    EXPECT_EQ(received, (Bytes{'p', 'i', 'n', 'g'}));
}

TEST_F(PollerWithPeer, RegisteringTwiceDeliversEventsTwice)
{
    StartConnect(m_poller, m_socket, 2);
    ASSERT_TRUE(PollUntil(m_poller, [&] { return !m_log.empty(); }));
    // The second entry already finds the socket connected, so writable means send.
    EXPECT_EQ(m_log, (Log{"connect", "after", "send", "after"}));

    m_log.clear();
    ASSERT_TRUE(m_peer.SendAll({'x'}));
    ASSERT_TRUE(PollUntil(m_poller, [&] { return !m_log.empty(); }));
    EXPECT_EQ(m_log, (Log{"receive", "after", "receive", "after"}));
}

TEST_F(PollerWithPeer, FailedConnectIsDeliveredAsAnErrorAndTheSocketIsSkippedAfterwards)
{
    ASSERT_TRUE(m_socket.Create());
    ASSERT_TRUE(m_socket.Connect("127.0.0.1", CSilentListener::ClosedPort()));
    m_poller.Register(&m_socket);
    ASSERT_TRUE(PollUntil(m_poller, [&] { return !m_log.empty(); }));
    EXPECT_EQ(m_log, (Log{"error 10061", "after"}));

    m_log.clear();
    m_poller.Poll(false, false);
    EXPECT_TRUE(m_log.empty());
    EXPECT_EQ(m_poller.SocketCount(), 1);
}

TEST_F(PollerWithPeer, ErrorSetEventComesAloneThoughDataIsWaiting)
{
    if (RunsUnderWine())
        GTEST_SKIP()
            << "Wine closes a socket with a zero linger time gracefully; Windows resets the connection";
    ASSERT_NO_FATAL_FAILURE(Connect());
    m_socket.wantsRead = false; // watched for errors only
    ASSERT_TRUE(m_peer.SendAll({'d', 'a', 't', 'a'}));
    m_peer.Abort();
    ASSERT_TRUE(PollUntil(m_poller, [&] { return !m_log.empty(); }));
    EXPECT_EQ(m_log, (Log{"error 10054", "after"}));
    EXPECT_FALSE(m_socket.IsOpen());
}

TEST_F(PollerWithPeer, ClosedPollerOwnedSocketIsDeletedOnceEvenIfRegisteredTwice)
{
    CSocketPoller poller;
    int destroyed = 0;
    auto* socket = new RecordingSocket(m_log, true, &destroyed);
    StartConnect(poller, *socket, 2);
    ASSERT_TRUE(PollUntil(poller, [&] { return socket->State() == CTcpSocket::StateConnected; }));
    socket->Close(true);
    EXPECT_EQ(destroyed, 0);
    poller.Poll(false, true);
    EXPECT_EQ(poller.SocketCount(), 0);
    EXPECT_EQ(destroyed, 1);
}

TEST(SocketPoller, DestructorDeletesOnlyPollerOwnedSockets)
{
    Log log;
    int ownedDestroyed = 0;
    int keptDestroyed = 0;
    RecordingSocket kept(log, false, &keptDestroyed);
    {
        CSocketPoller poller;
        auto* owned = new RecordingSocket(log, true, &ownedDestroyed);
        poller.Register(owned);
        poller.Register(&kept);
        poller.Register(owned);
        // Destroyed by its holder first: the poller's destructor must not look at it.
        auto* goneBefore = new RecordingSocket(log);
        poller.Register(goneBefore);
        delete goneBefore;
    }
    EXPECT_EQ(ownedDestroyed, 1);
    EXPECT_EQ(keptDestroyed, 0);
}

TEST_F(PollerWithPeer, RepeatingPollRunsUntilAStopIsRequested)
{
    ASSERT_NO_FATAL_FAILURE(Connect());
    m_socket.wantsWrite = true; // writable every cycle
    m_socket.poller = &m_poller;
    m_socket.stopAfterSends = 3;
    EXPECT_TRUE(m_poller.Poll(true, true));
    EXPECT_EQ(m_log, (Log{"send", "after", "send", "after", "send", "after"}));
    m_log.clear();
    EXPECT_TRUE(m_poller.Poll(false, true));
    EXPECT_TRUE(m_log.empty());
}

} // namespace
