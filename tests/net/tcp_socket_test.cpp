#include "ScratchDirectory.h"
#include "SilentListener.h"
#include "loopback_peer.h"

#include "net/SocketPoller.h"
#include "net/TcpSocket.h"
#include "os/Clock.h"
#include "os/Sockets.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace
{

using namespace loopback;

// A plain socket that the test owns, so the poller never deletes it.
class TestSocket : public CTcpSocket
{
public:
    TestSocket() { SetPollerOwned(false); }
};

#ifndef _WIN32
// On Windows the system's numbers are the sockets interface's own: nothing to translate.
TEST(SocketErrors, PlatformErrorsAreTranslatedToOneNumbering)
{
    const int cases[][2] = {
        {0, 0},
        {EAGAIN, 10035},
        {EINPROGRESS, 10035},
        {ECONNRESET, 10054},
        {EPIPE, 10058},
        {ESHUTDOWN, 10058},
        {ETIMEDOUT, 10060},
        {ECONNREFUSED, 10061},
        {EHOSTUNREACH, 10065},
        {ENETUNREACH, 10065},
        {EBADF, 20000 + EBADF},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(os::SocketErrorFromSystem(c[0]), c[1]) << std::strerror(c[0]);
    }
}
#endif

TEST(SocketAddress, DottedTextFollowsTheClassicRulesAndTheRestIsLookedUp)
{
    const struct
    {
        const char* text;
        bool dotted;
        uint8_t bytes[4];
    } cases[] = {
        {"127.0.0.1", true, {127, 0, 0, 1}},  {"127.1", true, {127, 0, 0, 1}},
        {"0x7f.0.0.2", true, {127, 0, 0, 2}}, {"1.2.3.256", false, {}},
        {"255.255.255.255", false, {}},       {"localhost", false, {}},
    };
    for (const auto& c : cases)
    {
        uint32_t address = 0;
        ASSERT_EQ(os::ParseIPv4Address(c.text, address), c.dotted) << c.text;
        EXPECT_TRUE(!c.dotted || std::memcmp(&address, c.bytes, 4) == 0) << c.text;
    }
    uint32_t address = 0;
    ASSERT_TRUE(os::LookupIPv4Host("255.255.255.255", address));
    EXPECT_EQ(address, 0xffffffffu);
    EXPECT_FALSE(os::LookupIPv4Host("", address));
}

TEST(TcpSocket, ConnectChecksHandleAndPortBeforeTouchingTheSocket)
{
    TestSocket socket;
    EXPECT_FALSE(socket.Connect("127.0.0.1", 1));
    EXPECT_EQ(socket.State(), CTcpSocket::StateFresh);

    ASSERT_TRUE(socket.Create());
    const os::SocketHandle handle = socket.Handle();
    for (int port : {-1, 65536})
    {
        EXPECT_FALSE(socket.Connect("127.0.0.1", port)) << port;
    }
    EXPECT_FALSE(socket.Connect("", 30000)); // neither dotted nor resolvable
    EXPECT_EQ(socket.Handle(), handle);
    EXPECT_EQ(socket.State(), CTcpSocket::StateIdle);
    EXPECT_EQ(socket.LastError(), 0);

    EXPECT_TRUE(socket.Connect("127.0.0.1", 65535));
    EXPECT_TRUE(socket.IsConnecting());
    EXPECT_EQ(socket.LastError(), 0);
}

class ConnectedSocket : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_socket.Create());
        ASSERT_TRUE(m_socket.Connect("localhost", m_listener.Port()));
        m_poller.Register(&m_socket);
        m_peer = Peer(m_listener.Accept());
        ASSERT_TRUE(PollUntil(m_poller, [&] { return !m_socket.IsConnecting(); }));
        ASSERT_EQ(m_socket.State(), CTcpSocket::StateConnected);
    }

    CSilentListener m_listener;
    TestSocket m_socket; // outlives the poller that points at it
    CSocketPoller m_poller;
    Peer m_peer;
};

TEST_F(ConnectedSocket, ReceiveReportsWouldBlockDataAndThenThePeersClose)
{
    uint8_t buffer[64];
    EXPECT_EQ(m_socket.Receive(buffer, sizeof buffer), 0);
    EXPECT_EQ(m_socket.LastError(), 0);
    EXPECT_EQ(m_socket.Receive(buffer, 0), 0); // reading nothing is no close
    EXPECT_TRUE(m_socket.IsOpen());

    ASSERT_TRUE(m_peer.SendAll({'h', 'i'}));
    m_peer.Close();
    Bytes received;
    ASSERT_TRUE(PollUntil(m_poller,
                          [&]
                          {
                              const int n = m_socket.Receive(buffer, sizeof buffer);
                              received.insert(received.end(), buffer, buffer + (n > 0 ? n : 0));
                              return n < 0;
                          }));
    EXPECT_EQ(received, (Bytes{'h', 'i'}));
    EXPECT_EQ(m_socket.LastError(), CTcpSocket::ErrorClosedByPeer);
    EXPECT_FALSE(m_socket.IsOpen());
}

TEST_F(ConnectedSocket, SendingToAResetPeerFailsWithoutASignal)
{
    m_peer.Abort();
    const Bytes block = PatternBytes(65536, 1);
    ASSERT_TRUE(m_socket.AppendOutgoing(block.data(), static_cast<int32_t>(block.size())));
    int result = 0;
    for (int attempt = 0; attempt < 200 && result >= 0; ++attempt)
    {
        result = m_socket.SendPending(false);
        os::SleepMilliseconds(5);
    }
    EXPECT_EQ(result, -1);
    EXPECT_FALSE(m_socket.IsOpen());
    EXPECT_TRUE(m_socket.LastError() == os::ErrorConnectionReset || m_socket.LastError() == os::ErrorShutDown)
        << m_socket.LastError();
}

TEST_F(ConnectedSocket, GracefulCloseWaitsUntilTheOutgoingBytesAreSent)
{
    TestSocket fresh;
    fresh.Close(false);
    EXPECT_EQ(fresh.State(), CTcpSocket::StateFresh);

    const Bytes block = PatternBytes(300000, 1);
    ASSERT_TRUE(m_socket.AppendOutgoing(block.data(), static_cast<int32_t>(block.size())));
    m_socket.Close(false);
    EXPECT_EQ(m_socket.State(), CTcpSocket::StateClosing);
    EXPECT_TRUE(m_socket.IsOpen());

    Bytes received;
    ASSERT_TRUE(PollUntil(m_poller, [&] { return !m_peer.ReadAvailable(received); }));
    EXPECT_EQ(received, block);
    EXPECT_EQ(m_socket.State(), CTcpSocket::StateIdle);
}

} // namespace
