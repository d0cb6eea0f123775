#include "ScopedLanguage.h"
#include "ScopedTimeZone.h"
#include "SessionDriver.h"
#include "SilentListener.h"
#include "os/Sockets.h"
#include "support/TextTranslator.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#endif

namespace
{

size_t KeepAlives(const CSessionDriver& driver)
{
    size_t count = 0;
    for (const auto& packet : driver.Received())
    {
        if (Commands::SessionTimeout.Matches(packet.header) && packet.header.Ident() == Idents::KeepAlive)
            ++count;
    }
    return count;
}

TEST(KeepAlive, OneAfterAMinuteOfSilenceAndTheIdleClockRestarts)
{
    CSessionDriver driver(Recorder());
    ASSERT_TRUE(driver.ConnectAndWaitUntilReady());
    const size_t eventsWhenReady = driver.Events().size();
    CClockShift clock;

    clock.AdvanceSeconds(59);
    driver.RunFor(50);
    EXPECT_EQ(KeepAlives(driver), 0u);

    clock.AdvanceSeconds(2);
    ASSERT_TRUE(
        driver.RunUntil([&] { return KeepAlives(driver) == 1 && !driver.Session().HasUnsentData(); }));
    driver.RunFor(100);
    EXPECT_EQ(KeepAlives(driver), 1u);
    EXPECT_EQ(PacketBytes(driver.Received().back()), HeaderBytes(1, 6, 11, 0, 0, 0));

    // The minute counts again from the keep-alive.
    clock.AdvanceSeconds(59);
    driver.RunFor(50);
    EXPECT_EQ(KeepAlives(driver), 1u);
    clock.AdvanceSeconds(2);
    EXPECT_TRUE(driver.RunUntil([&] { return KeepAlives(driver) == 2; }));
    EXPECT_EQ(driver.Events().size(), eventsWhenReady) << "keep-alives concern nobody but the recorder";
}

TEST(KeepAlive, UnansweredCommandIsGivenUpAfterHalfTheSessionTimeOut)
{
    auto options = Recorder("2.0.30");
    // The first device-information request is never answered.
    options.replyOverride = [](const CRecorderSimulator::ReceivedPacket& packet, std::vector<uint8_t>& reply)
    {
        reply.clear();
        return Commands::DeviceInformation.Matches(packet.header) &&
               packet.header.Ident() == Idents::DeviceInfoSequence &&
               packet.header.LParam() == Tags::DeviceSwitch;
    };
    CSessionDriver driver(options);
    CClockShift clock;
    ASSERT_TRUE(driver.Connect());
    ASSERT_TRUE(driver.RunUntil([&] { return driver.CountReceived(Commands::DeviceInformation) == 2; }));
    driver.RunFor(50);

    clock.AdvanceSeconds(61);
    driver.RunFor(50);
    EXPECT_EQ(driver.CountReceived(Commands::DeviceInformation), 2u) << "the queue still waits";
    EXPECT_EQ(KeepAlives(driver), 0u) << "no keep-alive while a command waits";

    clock.AdvanceSeconds(1740);
    ASSERT_TRUE(driver.RunUntil([&] { return !driver.Session().HasUnsentData(); }));
    driver.RunFor(50);
    EXPECT_EQ(driver.CountReceived(Commands::DeviceInformation), 4u)
        << "items 1 and 3 went out after the give-up";
    EXPECT_EQ(driver.CountReceived(Commands::SessionTimeout), 1u);
    EXPECT_EQ(driver.Session().PendingInfoAnswers(), 1);
    EXPECT_TRUE(driver.EventsOf(EStatus::Connected).empty());
}

TEST(Disconnect, WaitsAboutTwoHundredMillisecondsOnlyForAnAnswerThatIsDue)
{
    auto options = Recorder();
    options.replyOverride = [](const CRecorderSimulator::ReceivedPacket& packet, std::vector<uint8_t>& reply)
    {
        reply.clear();
        // Keep-alives go unanswered.
        return Commands::SessionTimeout.Matches(packet.header) && packet.header.Ident() == Idents::KeepAlive;
    };
    std::vector<int> pauses;
    CSessionDriver driver(options);
    driver.Session().SetDisconnectPause([&](int milliseconds) { pauses.push_back(milliseconds); });
    ASSERT_TRUE(driver.ConnectAndWaitUntilReady());

    driver.Session().Disconnect();
    EXPECT_TRUE(pauses.empty()) << "nothing queued, nothing to wait for";

    ASSERT_TRUE(driver.ConnectAndWaitUntilReady());
    ASSERT_TRUE(driver.Session().SendCommand(Commands::SessionTimeout, Idents::KeepAlive,
                                             Parameters::KeepAliveTimeout));
    ASSERT_TRUE(driver.RunUntil([&] { return KeepAlives(driver) == 1; }));
    driver.Session().Disconnect();
    EXPECT_EQ(pauses, std::vector<int>(41, 5)) << "41 passes of 5 ms";
    EXPECT_FALSE(driver.Session().HasUnsentData());
    EXPECT_FALSE(driver.Session().Connection().IsOpen());
}

// 6 May 2002, 20:30:00, as milliseconds since 1601.
constexpr int64_t kRecorderTimeMs = (1020717000LL + 11644473600LL) * 1000;

struct TimeCase
{
    const char* name;
    std::vector<uint8_t> packet;
    int32_t eventType; // -1: no event at all
    int32_t eventCode;
    // The time a DataEvent 0 carries; 0 for fields that name no day.
    int64_t timeMs = kRecorderTimeMs;
    int unaskedLayout = -1; // the simulator's own time answer after the login, in this layout
};

class RecorderTime : public ::testing::TestWithParam<TimeCase>
{
private:
    CScopedLanguage m_language{CTextTranslator::LanguageEnglish};
    // The recorder's local time is read in this machine's zone; pin it for exact values.
    CScopedTimeZone m_zone{"UTC"};
};

TEST_P(RecorderTime, IsHandledByLayoutAndAck)
{
    const TimeCase& sample = GetParam();
    auto options = Recorder();
    options.extraAfterLogin = sample.packet;
    options.unsolicitedTimeLayout = sample.unaskedLayout;
    CSessionDriver driver(options);
    ASSERT_TRUE(driver.ConnectAndWaitUntilReady());
    driver.RunFor(50);

    std::vector<RecordedEvent> unexpected;
    for (const auto& event : driver.Events())
    {
        const bool conversation =
            event.type == LoginResultEvent ||
            (event.type == StatusEvent && (event.code == StatusCode(EStatus::DeviceInfoRequested) ||
                                           event.code == StatusCode(EStatus::Connected)));
        if (!conversation)
            unexpected.push_back(event);
    }
    if (sample.eventType < 0)
    {
        EXPECT_TRUE(unexpected.empty());
        return;
    }
    ASSERT_EQ(unexpected.size(), 1u);
    EXPECT_EQ(unexpected[0].type, sample.eventType);
    EXPECT_EQ(unexpected[0].code, sample.eventCode);
    if (sample.eventType == DataEvent && sample.eventCode == CProtocolSession::DataRecorderTime)
    {
        EXPECT_EQ(RecordOf<STimeRecord>(unexpected[0]).milliseconds, sample.timeMs);
    }
    if (sample.eventType == DataEvent && sample.eventCode == CProtocolSession::DataTimeAcknowledged)
    {
        EXPECT_EQ(RecordOf<SValueRecord>(unexpected[0]).value, 10);
    }
    if (sample.eventType == StatusEvent)
    {
        EXPECT_EQ(unexpected[0].payload.size(), static_cast<size_t>(CCommandPacket::HeaderSize()))
            << "the answer's header";
    }
}

const std::vector<uint8_t> kByteTime = Bytes({0x14, 0x1E, 0x06, 0x05, 0x66, 0x00});
const std::vector<uint8_t> kWordTime = Bytes({6, 0, 5, 0, 0xD2, 0x07, 20, 0, 30, 0, 0, 0});

INSTANTIATE_TEST_SUITE_P(
    Answers, RecorderTime,
    ::testing::Values(
        TimeCase{"Bytes", Answer(3, 4, 0, 1, 0, kByteTime), DataEvent, 0},
        TimeCase{"Words", Answer(3, 4, 0, 1, 1, kWordTime), DataEvent, 0},
        TimeCase{"BytesWithTrailingData", Answer(3, 4, 0, 1, 7, Concat(kByteTime, kByteTime)), DataEvent, 0},
        TimeCase{"KeepAliveIdentIgnored", Answer(3, 4, 11, 1, 0, kByteTime), -1, 0},
        // Short answers are read as far as they go, the missing bytes as 0.
        TimeCase{"WordsWithoutTheirLastByte",
                 Answer(3, 4, 0, 1, 1, std::vector<uint8_t>(kWordTime.begin(), kWordTime.end() - 1)),
                 DataEvent, 0},
        TimeCase{"WordsTooShort", Answer(3, 4, 0, 1, 1, kByteTime), DataEvent, 0, 0},
        TimeCase{"BytesTooShort", Answer(3, 4, 0, 1, 0, Bytes({0x14, 0x1E, 6})), DataEvent, 0, 0},
        TimeCase{"NoData", Answer(3, 4, 0, 1, 0, {}), DataEvent, 0, 0},
        TimeCase{"Refused", Answer(3, 4, 0, 2, 0, kByteTime), StatusEvent, 13},
        TimeCase{"Com5Executed", Answer(3, 5, 0, 1, 0, {}), -1, 0},
        TimeCase{"Com5Refused", Answer(3, 5, 0, 3, 0, {}), StatusEvent, 13},
        TimeCase{"Com7Executed", Answer(3, 7, 0, 1, 0, {}), DataEvent, 3},
        TimeCase{"Com7Refused", Answer(3, 7, 0, 9, 0, {}), StatusEvent, 13},
        TimeCase{"UnknownCom", Answer(3, 9, 0, 1, 0, {}), -1, 0},
        TimeCase{"Target1Unknown", Answer(1, 2, 0, 1, 0, {}), -1, 0},
        // Unasked, the same instant in both layouts.
        TimeCase{"UnaskedBytes", {}, DataEvent, 0, kRecorderTimeMs, 0},
        TimeCase{"UnaskedWords", {}, DataEvent, 0, kRecorderTimeMs, 1}),
    [](const ::testing::TestParamInfo<TimeCase>& parameter) { return std::string(parameter.param.name); });

TEST(ConnectFailure, RefusedConnectionIsReportedOnce)
{
    int closedPort = 0;
    {
        CSilentListener listener;
        closedPort = listener.Port();
    }
    ASSERT_NE(closedPort, 0);
    CSessionDriver driver(closedPort);
    driver.Connect("pw");
    // However busy the machine, the refusal comes; then half a second in which it must not come again.
    ASSERT_TRUE(driver.WaitForEvent(EStatus::Refused));
    driver.RunFor(500);
    for (const RecordedEvent& event : driver.Events())
    {
        ASSERT_EQ(event.type, StatusEvent);
        ASSERT_EQ(event.payload.size(), static_cast<size_t>(SValueRecord::Size));
    }
    const auto statuses = driver.VisibleStatusEvents();
    ASSERT_EQ(statuses.size(), 1u);
    EXPECT_EQ(statuses[0].code, StatusCode(EStatus::Refused));
    EXPECT_EQ(RecordOf<SValueRecord>(statuses[0]).value, os::ErrorRefused);
}

TEST(ConnectFailure, AddressThatCannotBeResolvedIsInvalidData)
{
    CEventQueue queue;
    CProtocolSession session;
    EXPECT_FALSE(session.Connect("", "pw", "", &queue));
    for (int tick = 0; tick < 5; ++tick)
        session.Step();
    ASSERT_TRUE(queue.HasEvents());
    const uint8_t* event = queue.Front();
    EXPECT_EQ(CEventQueue::Read(event).type, StatusEvent);
    EXPECT_EQ(CEventQueue::Read(event).code, StatusCode(EStatus::InvalidConnectData));
    EXPECT_EQ(CEventQueue::Read(event).length, 4);
    queue.Pop();
    EXPECT_FALSE(queue.HasEvents()) << "reported once";
    EXPECT_FALSE(session.Connection().IsOpen());
}

#ifndef _WIN32
// Uses up every descriptor, so that no socket can be made, then connects. Run in a child process.
// (Windows has no per-process descriptor limit to exhaust.)
bool ConnectWithoutDescriptors()
{
    {
        // The same calls once while descriptors are free, so that run-time checkers have done what
        // needs descriptors of their own (the undefined-behaviour checker caches its type checks).
        CEventQueue queue;
        CProtocolSession session;
        session.Connect("", "pw", "", &queue);
    }
    rlimit limit{64, 64};
    setrlimit(RLIMIT_NOFILE, &limit);
    while (open("/dev/null", O_RDONLY) >= 0)
    {
    }
    CEventQueue queue;
    CProtocolSession session;
    const bool connected = session.Connect("127.0.0.1", "pw", "", &queue);
    const uint8_t* event = queue.Front();
    return !connected && event != nullptr &&
           CEventQueue::Read(event).code == StatusCode(EStatus::NoConnection);
}

TEST(ConnectFailureDeathTest, NoSocketMeansNoConnection)
{
    EXPECT_EXIT(std::_Exit(ConnectWithoutDescriptors() ? 0 : 1), ::testing::ExitedWithCode(0), "");
}
#endif

// A session whose recorder takes the connection but never reads from it nor answers.
class SilentRecorder : public ::testing::Test
{
protected:
    // Connects and polls until the version request has gone out and waits for its answer.
    void ConnectUntilVersionRequestSent()
    {
        ASSERT_NE(m_listener.Port(), 0);
        ASSERT_TRUE(m_driver.Connect("pw"));
        const CSendQueue& sendQueue = m_driver.Session().Connection().SendQueue();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (sendQueue.IsReady() && std::chrono::steady_clock::now() < deadline)
            m_driver.Poller().Poll(false, true);
        ASSERT_FALSE(sendQueue.IsReady()) << "the version request went out";
    }

    CSilentListener m_listener;
    CSessionDriver m_driver{m_listener.Port()};
};

TEST_F(SilentRecorder, SendThatWouldBlockIsNotMistakenForAFailure)
{
    ASSERT_NO_FATAL_FAILURE(ConnectUntilVersionRequestSent());
    CSocketConnection& connection = m_driver.Session().Connection();

    // Nobody reads on the other side: sending the request again and again fills every buffer
    // until the socket refuses more for now.
    os::SetSendBufferSize(connection.Handle(), 4096);
    for (int attempt = 0; attempt < 200000 && connection.LastError() != os::ErrorWouldBlock; ++attempt)
    {
        connection.ResendCurrent();
        connection.OnSend(0);
    }
    ASSERT_EQ(connection.LastError(), os::ErrorWouldBlock);

    EXPECT_TRUE(m_driver.Session().Step());
    EXPECT_FALSE(m_driver.Queue().HasEvents());
    EXPECT_TRUE(connection.IsOpen());
}

TEST_F(SilentRecorder, MarkedCommandReportsItsSendProgressAtMostEveryHalfSecond)
{
    ASSERT_NO_FATAL_FAILURE(ConnectUntilVersionRequestSent());
    CSocketConnection& connection = m_driver.Session().Connection();
    os::SetSendBufferSize(connection.Handle(), 4096);
    // The command that carries the progress mark; more than the unread connection's buffers take, so
    // it is still going out at the end.
    const std::vector<uint8_t> block(4 << 20, 0x5A);
    const int32_t entryLength =
        CSendQueue::EntryRecordSize + CCommandPacket::HeaderSize() + static_cast<int32_t>(block.size());
    ASSERT_TRUE(m_driver.Session().SendCommand(Commands::ProgressReportedSend, Idents::Plain,
                                               Parameters::None, block.data(),
                                               static_cast<int32_t>(block.size())));

    // The version request is never answered: after half the session time-out it is given up and
    // the marked command is next.
    CClockShift clock;
    clock.AdvanceSeconds(1801);
    m_driver.RunFor(1200);
    const std::vector<RecordedEvent>& reports = m_driver.Events();
    ASSERT_TRUE(connection.WantsWrite()) << "the command is still going out";

    ASSERT_GE(reports.size(), 2u);
    for (const RecordedEvent& report : reports)
    {
        ASSERT_EQ(report.type, ProgressEvent);
        EXPECT_EQ(report.code, CProtocolSession::ProgressSending);
        EXPECT_EQ(RecordOf<SProgressRecord>(report).total, entryLength);
    }
    // The first report comes with the give-up, before a byte of the command went out: only its
    // queue record, which never goes to the socket, counts as done.
    EXPECT_EQ(RecordOf<SProgressRecord>(reports.front()).done, CSendQueue::EntryRecordSize);
    // The session's clock read for a report lies between its tick's begin and its arrival.
    for (size_t i = 1; i < reports.size(); ++i)
    {
        EXPECT_GE(
            std::chrono::duration_cast<std::chrono::milliseconds>(reports[i].at - reports[i - 1].tickBegan)
                .count(),
            490)
            << "reports " << i - 1 << " and " << i;
    }
    EXPECT_GT(RecordOf<SProgressRecord>(reports.back()).done, CSendQueue::EntryRecordSize);
    EXPECT_LT(RecordOf<SProgressRecord>(reports.back()).done, entryLength);
}

TEST(Destruction, SessionOutlivingItsQueuePostsNothing)
{
    auto options = Recorder();
    options.replyOverride = [](const CRecorderSimulator::ReceivedPacket&, std::vector<uint8_t>& reply)
    {
        reply.clear();
        return true; // nothing is ever answered
    };
    options.port = 0;
    CRecorderSimulator simulator(options);
    std::string error;
    ASSERT_TRUE(simulator.Start(error)) << error;

    CSocketPoller poller;
    auto queue = std::make_unique<CEventQueue>();
    auto session = std::make_unique<CProtocolSession>();
    poller.Register(&session->Connection());
    session->SetPort(simulator.Port());
    ASSERT_TRUE(session->Connect("127.0.0.1", "pw", "", queue.get()));
    for (int tick = 0; tick < 300 && simulator.ReceivedPackets().empty(); ++tick)
        poller.Poll(false, true);
    ASSERT_FALSE(simulator.ReceivedPackets().empty());

    // The recorder goes away; the connection notices, but no Step has reported it yet.
    simulator.Stop();
    for (int tick = 0; tick < 300 && session->Connection().IsOpen(); ++tick)
        poller.Poll(false, true);
    ASSERT_FALSE(session->Connection().IsOpen());
    ASSERT_TRUE(session->HasUnsentData());

    queue.reset();
    session.reset(); // would post the failure into the freed queue
}

} // namespace
