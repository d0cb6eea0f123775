#include "ScopedLanguage.h"
#include "ScratchDirectory.h"
#include "SilentListener.h"
#include "WineDetection.h"
#include "loopback_peer.h"

#include "net/SocketConnection.h"
#include "net/SocketPoller.h"
#include "os/Clock.h"
#include "os/Sockets.h"
#include "support/TextTranslator.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{

using namespace loopback;

CCommandPacket Header(uint16_t target, uint16_t com, uint16_t ident, int32_t lParam, int32_t dataLen = 0)
{
    CCommandPacket header;
    header.Set(target, com, ident, lParam, dataLen);
    return header;
}

class SocketConnectionTest : public ::testing::Test
{
protected:
    void SetUp() override { m_poller.Register(&m_connection); }

    // Connects to the listener; `tune` may adjust the socket before the connect.
    void Connect(const std::function<void()>& tune = {})
    {
        m_connection.ResetStatus();
        ASSERT_TRUE(m_connection.Create());
        if (tune)
        {
            tune();
        }
        ASSERT_TRUE(m_connection.Connect("127.0.0.1", m_listener.Port()));
        m_peer = Peer(m_listener.Accept());
        ASSERT_TRUE(PollUntil(m_poller, [&] { return !m_connection.IsConnecting(); }));
        ASSERT_EQ(m_connection.State(), CTcpSocket::StateConnected);
    }

    bool PeerReceives(Bytes& received, size_t length)
    {
        return PollUntil(m_poller,
                         [&] { return !m_peer.ReadAvailable(received) || received.size() >= length; }) &&
               received.size() >= length;
    }

    bool PacketArrives()
    {
        return PollUntil(m_poller, [&] { return m_connection.HasCompletePacket(); });
    }

    CSilentListener m_listener;
    CSocketConnection m_connection;
    CSocketPoller m_poller;
    Peer m_peer;
};

TEST_F(SocketConnectionTest, CommandsGoOutOneAtATimeAndWaitForTheirAnswers)
{
    Connect();
    ASSERT_TRUE(m_connection.QueuePacket(Header(4, 2, 2, 4), nullptr, 0));
    Bytes received;
    ASSERT_TRUE(PeerReceives(received, 18));
    EXPECT_EQ(received, PacketBytes(4, 2, 2, 4));

    const Bytes password = {'p', 'w', 0};
    ASSERT_TRUE(m_connection.QueuePacket(Header(4, 1, 0, 0, 3), password.data(), 3));
    EXPECT_FALSE(m_connection.WantsWrite());
    for (int cycle = 0; cycle < 10; ++cycle)
    {
        m_poller.Poll(false, true);
    }
    EXPECT_FALSE(m_peer.DataArrivesWithin(50));

    ASSERT_TRUE(m_peer.SendAll(PacketBytes(4, 2, 2, 4, {'2', '.', '0'}, 1)));
    ASSERT_TRUE(PacketArrives());
    ASSERT_NE(m_connection.CurrentHeader(), nullptr);
    EXPECT_EQ(m_connection.CurrentHeader()->Ack(), 1);
    ASSERT_EQ(m_connection.CurrentPayloadLength(), 3);
    EXPECT_EQ(Bytes(m_connection.CurrentPayload(), m_connection.CurrentPayload() + 3),
              (Bytes{'2', '.', '0'}));

    m_connection.FinishReceivedPacket();
    EXPECT_EQ(m_connection.CurrentHeader(), nullptr);
    received.clear();
    ASSERT_TRUE(PeerReceives(received, 21));
    EXPECT_EQ(received, PacketBytes(4, 1, 0, 0, password));
}

TEST_F(SocketConnectionTest, AnswerWithIdentSixRemovesTheNextCommandUnsent)
{
    Connect();
    ASSERT_TRUE(m_connection.QueuePacket(Header(4, 2, 1, 2), nullptr, 0));
    ASSERT_TRUE(m_connection.QueuePacket(Header(4, 2, 1, 1), nullptr, 0));
    ASSERT_TRUE(m_connection.QueuePacket(Header(1, 6, 1, 3600), nullptr, 0));
    Bytes received;
    ASSERT_TRUE(PeerReceives(received, 18));

    ASSERT_TRUE(m_peer.SendAll(PacketBytes(4, 2, 6, 0, {}, 1)));
    ASSERT_TRUE(PacketArrives());
    m_connection.FinishReceivedPacket();
    received.clear();
    ASSERT_TRUE(PeerReceives(received, 18));
    EXPECT_EQ(received, PacketBytes(1, 6, 1, 3600));
    EXPECT_EQ(m_connection.SendQueue().BufferedBytes(), 34);

    // The same rule with nothing queued behind the answered command.
    ASSERT_TRUE(m_peer.SendAll(PacketBytes(1, 6, 6, 0, {}, 1)));
    ASSERT_TRUE(PacketArrives());
    m_connection.FinishReceivedPacket();
    EXPECT_EQ(m_connection.SendQueue().BufferedBytes(), 0);
    EXPECT_TRUE(m_connection.SendQueue().IsReady());
}

TEST_F(SocketConnectionTest, PeerClosingMidStreamKeepsTheBytesReadAndRecordsTheClose)
{
    Connect();
    Bytes partial = PacketBytes(4, 6, 0, 0, PatternBytes(1000, 1), 1);
    partial.resize(18 + 500);
    ASSERT_TRUE(m_peer.SendAll(partial));
    m_peer.Close();
    ASSERT_TRUE(PollUntil(m_poller, [&] { return !m_connection.IsOpen(); }));
    EXPECT_EQ(m_connection.Status(), EStatus::ClosedByPeer);
    EXPECT_EQ(m_connection.LastError(), CTcpSocket::ErrorClosedByPeer);
    EXPECT_FALSE(m_connection.HasCompletePacket());
    EXPECT_EQ(m_connection.CurrentPayloadLength(), 1000);
    EXPECT_EQ(m_connection.ReceiveAssembler().BufferedBytes(), 500);
}

TEST_F(SocketConnectionTest, PeerResetIsASocketError)
{
    if (RunsUnderWine())
        GTEST_SKIP()
            << "Wine closes a socket with a zero linger time gracefully; Windows resets the connection";
    Connect();
    m_peer.Abort();
    ASSERT_TRUE(PollUntil(m_poller, [&] { return !m_connection.IsOpen(); }));
    EXPECT_EQ(m_connection.Status(), EStatus::SocketError);
    EXPECT_EQ(m_connection.LastError(), os::ErrorConnectionReset);
}

TEST_F(SocketConnectionTest, SmallReceiveBufferLowersTheChunkForLaterConnectionsToo)
{
    int small = 0;
    Connect(
        [&]
        {
            ASSERT_TRUE(os::SetReceiveBufferSize(m_connection.Handle(), 4096));
            ASSERT_TRUE(os::ReceiveBufferSize(m_connection.Handle(), small));
        });
    ASSERT_LT(small, CSocketConnection::DefaultReceiveChunk);
    EXPECT_EQ(m_connection.ReceiveChunk(), small);

    m_connection.Disconnect();
    Connect([&] { ASSERT_TRUE(os::SetReceiveBufferSize(m_connection.Handle(), 65536)); });
    EXPECT_EQ(m_connection.ReceiveChunk(), small);
}

TEST_F(SocketConnectionTest, OneReadableEventReadsAtMostTwentyChunks)
{
    // Small at connect time lowers the chunk; large afterwards lets more than twenty chunks wait.
    Connect([&] { ASSERT_TRUE(os::SetReceiveBufferSize(m_connection.Handle(), 4096)); });
    const int chunk = m_connection.ReceiveChunk();
    ASSERT_TRUE(os::SetReceiveBufferSize(m_connection.Handle(), 4 << 20));
    const int waiting = 25 * chunk;
    ASSERT_TRUE(m_peer.SendAll(PatternBytes(static_cast<size_t>(waiting), 1)));
    for (int wait = 0; wait < 1000 && PeekAvailable(m_connection.Handle(), waiting) < waiting; ++wait)
    {
        os::SleepMilliseconds(5);
    }
    ASSERT_EQ(PeekAvailable(m_connection.Handle(), waiting), waiting);

    m_poller.Poll(false, false);
    EXPECT_EQ(m_connection.ReceiveAssembler().BufferedBytes(), 20 * chunk);
    EXPECT_EQ(PeekAvailable(m_connection.Handle(), waiting), 5 * chunk);
}

TEST_F(SocketConnectionTest, PartialSendConsumesOnlyTheAcceptedBytes)
{
    Connect([&] { ASSERT_TRUE(os::SetSendBufferSize(m_connection.Handle(), 4096)); });
    const Bytes payload = PatternBytes(1 << 20, 1);
    const int32_t length = static_cast<int32_t>(payload.size());
    ASSERT_TRUE(m_connection.QueuePacket(Header(4, 6, 0, 0, length), payload.data(), length));

    ASSERT_TRUE(PollUntil(m_poller, [&] { return m_connection.SendQueue().PendingBytes() < 18 + length; }));
    EXPECT_GT(m_connection.SendQueue().PendingBytes(), 0);
    EXPECT_TRUE(m_connection.WantsWrite());

    Bytes received;
    ASSERT_TRUE(PeerReceives(received, 18 + payload.size()));
    EXPECT_TRUE(received == PacketBytes(4, 6, 0, 0, payload));
    EXPECT_FALSE(m_connection.WantsWrite());
}

class CloseRecordingConnection : public CSocketConnection
{
public:
    void OnClose(int code) override
    {
        closeCodes.push_back(code);
        CSocketConnection::OnClose(code);
    }
    std::vector<int> closeCodes;
};

TEST(SocketConnectionStatus, ErrorsCloseTheSocketAndBecomeStatusCodes)
{
    const struct
    {
        int error;
        EStatus status;
    } cases[] = {
        {10061, EStatus::Refused},      {10065, EStatus::Unreachable}, {10060, EStatus::TimedOut},
        {11000, EStatus::ClosedByPeer}, {10054, EStatus::SocketError}, {20013, EStatus::SocketError},
    };
    for (const auto& c : cases)
    {
        CloseRecordingConnection connection;
        ASSERT_TRUE(connection.Create());
        connection.OnError(c.error);
        EXPECT_EQ(connection.closeCodes, std::vector<int>{c.error});
        EXPECT_EQ(connection.Status(), c.status) << c.error;
        EXPECT_EQ(connection.LastError(), c.error);
        EXPECT_FALSE(connection.IsOpen());

        ASSERT_TRUE(connection.Create());
        connection.OnClose(0);
        EXPECT_FALSE(connection.IsOpen());
        EXPECT_EQ(connection.Status(), c.status) << "code 0 keeps the status";
    }
}

TEST(SocketConnectionStatus, DisconnectForgetsEverythingButTheLastError)
{
    CSocketConnection never;
    never.Disconnect();
    EXPECT_EQ(never.Status(), EStatus::Idle);

    CSocketConnection connection;
    ASSERT_TRUE(connection.Create());
    ASSERT_TRUE(connection.QueuePacket(Header(4, 2, 2, 4), nullptr, 0));
    connection.MarkTime(false);
    connection.OnError(10054);
    EXPECT_EQ(connection.SendQueue().BufferedBytes(), 34);
    connection.FinishReceivedPacket(); // no packet held: nothing to settle

    connection.Disconnect();
    EXPECT_EQ(connection.Status(), EStatus::Idle);
    EXPECT_EQ(connection.SendQueue().BufferedBytes(), 0);
    EXPECT_EQ(connection.LastSendTime(), 0);
    EXPECT_EQ(connection.LastError(), 10054);
    connection.ResetStatus();
    EXPECT_EQ(connection.LastError(), 0);
}

TEST(SocketConnectionTimes, SecondsSinceLastSendFollowTheMonotonicClock)
{
    CSocketConnection connection;
    connection.MarkTime(false);
    os::AdvanceClocksForTesting(61 * 1000000LL);
    const int32_t elapsed = connection.SecondsSinceLastSend();
    os::AdvanceClocksForTesting(-61 * 1000000LL);
    EXPECT_GE(elapsed, 61);
    EXPECT_LE(elapsed, 62);
}

TEST(ConnectionErrorText, KnownCodesInBothLanguagesAndNoTextForOthers)
{
    const struct
    {
        int code;
        const char* english;
        const char* german;
    } cases[] = {
        {10061, "The connect request has been rejected.", "Die Verbindungsanfrage wurde abgelehnt."},
        {10060, "A timeout occured.", "Ein Zeitüberlauf ist aufgetreten."},
        {10035, "There is already a connect in progress.", "Eine Verbindungsanfrage läuft bereits."},
        {10054, "Connection reset by server.", "Die Verbindung wurde vom Server getrennt."},
    };
    CScopedLanguage language(CTextTranslator::LanguageEnglish);
    for (const auto& c : cases)
    {
        language.Set(CTextTranslator::LanguageEnglish);
        EXPECT_STREQ(ConnectionErrorText(c.code), c.english);
        language.Set(CTextTranslator::LanguageGerman);
        EXPECT_STREQ(ConnectionErrorText(c.code), c.german);
    }
    for (int code : {0, 10053, 10058, 10065, 11000})
    {
        EXPECT_EQ(ConnectionErrorText(code), nullptr) << code;
    }
}

} // namespace
