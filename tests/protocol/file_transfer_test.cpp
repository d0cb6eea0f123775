#include "ScopedDiagnosticCapture.h"
#include "SessionDriver.h"
#include "support/AllocationWatch.h"
#include "support/TimeStamp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

namespace
{

// Length of the item list the simulator answers with: tag 1 echoing the path, tag 2, end marker.
int32_t AnswerListLength(const std::string& name)
{
    return static_cast<int32_t>(4 + std::strlen(CSessionDriver::SoftwareDirectory) + name.size() + 1 + 4 + 4 +
                                4);
}

// Status events other than those of a normal conversation.
std::vector<RecordedEvent> Failures(const CSessionDriver& driver)
{
    std::vector<RecordedEvent> failures;
    for (const auto& event : driver.VisibleStatusEvents())
    {
        if (event.code != StatusCode(EStatus::DeviceInfoRequested) &&
            event.code != StatusCode(EStatus::Connected))
            failures.push_back(event);
    }
    return failures;
}

bool WaitForFileOutcome(CSessionDriver& driver, int timeoutMs = 5000)
{
    return driver.RunUntil(
        [&] {
            return !driver.EventsOf(DataEvent, CProtocolSession::DataFile).empty() ||
                   !Failures(driver).empty();
        },
        timeoutMs);
}

// Serves `content` as `name`, and requests it once the device information is in (the events until
// then are dropped).
bool ServeAndRequest(CSessionDriver& driver, const std::string& name, const std::vector<uint8_t>& content)
{
    driver.WriteFile(name, content);
    if (!driver.ConnectAndWaitUntilReady())
        return false;
    driver.ClearEvents();
    return driver.RequestFile(name);
}

// Exactly one file came, this one, and nothing failed.
void ExpectOnlyTheFile(const CSessionDriver& driver, const std::vector<uint8_t>& content)
{
    const auto files = driver.EventsOf(DataEvent, CProtocolSession::DataFile);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].payload, content);
    EXPECT_TRUE(Failures(driver).empty());
}

TEST(FileRequest, GoesOutAsOneTaggedItemInWindows1252)
{
    CSessionDriver driver(Recorder());
    ASSERT_TRUE(driver.ConnectAndWaitUntilReady());
    const size_t before = driver.Received().size();
    // 26 characters: an item of 27 bytes and DataLen 35.
    ASSERT_TRUE(driver.Session().RequestFile("/home/depot/software/a.exe"));
    ASSERT_TRUE(driver.Session().RequestFile("/home/depot/software/Grüße€"));
    ASSERT_TRUE(driver.RunUntil([&] { return driver.Received().size() == before + 2; }));

    const auto received = driver.Received();
    const std::string path = "/home/depot/software/a.exe";
    EXPECT_EQ(PacketBytes(received[before]),
              Concat(Concat(HeaderBytes(4, 6, 0, 0, 0, 35), Bytes({27, 0, 1, 0})),
                     Concat({path.begin(), path.end()}, Bytes({0, 0, 0, 0xFF, 0xFF}))));

    const auto& second = received[before + 1];
    const std::vector<uint8_t> tail = Bytes({'G', 'r', 0xFC, 0xDF, 'e', 0x80, 0, 0, 0, 0xFF, 0xFF});
    ASSERT_GE(second.payload.size(), tail.size());
    EXPECT_EQ(
        std::vector<uint8_t>(second.payload.end() - static_cast<long>(tail.size()), second.payload.end()),
        tail);
}

TEST(FileTransfer, ThrottledFileReportsProgressAtMostEveryHalfSecond)
{
    auto options = Recorder();
    options.throttleBytesPerSecond = 40000;
    CSessionDriver driver(options);
    const auto content = PatternBytes(100000, 7);
    driver.WriteFile("big.bin", content);
    ASSERT_TRUE(driver.ConnectAndWaitUntilReady());
    driver.ClearEvents();

    const auto requested = CTimeStamp::NowMilliseconds();
    ASSERT_TRUE(driver.RequestFile("big.bin"));
    ASSERT_TRUE(WaitForFileOutcome(driver, 15000));
    driver.RunFor(50);

    const auto& events = driver.Events();
    size_t dataIndex = events.size();
    for (size_t i = 0; i < events.size(); ++i)
    {
        if (events[i].type == DataEvent && events[i].code == CProtocolSession::DataFile)
            dataIndex = i;
    }
    ASSERT_LT(dataIndex, events.size());
    EXPECT_EQ(events[dataIndex].payload, content);

    const int32_t total = AnswerListLength("big.bin") + 100000;
    std::vector<RecordedEvent> before(events.begin(), events.begin() + static_cast<long>(dataIndex));
    ASSERT_GE(before.size(), 3u) << "2.5 s of transfer give several reports";
    for (size_t i = 0; i < before.size(); ++i)
    {
        ASSERT_EQ(before[i].type, ProgressEvent);
        EXPECT_EQ(before[i].code, CProtocolSession::ProgressReceiving);
        const SProgressRecord progress = RecordOf<SProgressRecord>(before[i]);
        EXPECT_LE(progress.done, progress.total);
        EXPECT_GE(progress.requestTimeMs, requested);
        if (i > 0)
        {
            // The session's clock read for a report lies between its tick's begin and its arrival.
            const auto gap =
                std::chrono::duration_cast<std::chrono::milliseconds>(before[i].at - before[i - 1].tickBegan)
                    .count();
            EXPECT_GE(gap, 490) << "reports " << i - 1 << " and " << i;
        }
    }
    // Once the size is known the total covers list and file.
    EXPECT_EQ(RecordOf<SProgressRecord>(before.back()).total, total);

    ASSERT_EQ(events.size(), dataIndex + 2);
    const RecordedEvent& last = events.back();
    EXPECT_EQ(last.type, ProgressEvent);
    EXPECT_EQ(RecordOf<SProgressRecord>(last).total, total);
    EXPECT_EQ(RecordOf<SProgressRecord>(last).done, total);
}

TEST(FileTransfer, FileArrivingWithItsListIsDeliveredInTheSameTick)
{
    CSessionDriver driver(Recorder());
    const auto content = PatternBytes(5000, 11);
    ASSERT_TRUE(ServeAndRequest(driver, "small.exe", content));
    ASSERT_TRUE(driver.RunUntil([&] { return driver.CountReceived(Commands::FileRequest) == 1; }));
    // Let the whole answer reach the socket before the next read.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    driver.Tick();

    const auto& events = driver.Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].type, DataEvent);
    EXPECT_EQ(events[0].payload, content);
    EXPECT_EQ(events[1].type, ProgressEvent);
    EXPECT_EQ(RecordOf<SProgressRecord>(events[1]).done, RecordOf<SProgressRecord>(events[1]).total);
    EXPECT_EQ(events[0].tick, events[1].tick);
}

// However the file comes, whole in one event.
TEST(WholeFile, ArrivesAsOneDataEvent)
{
    struct SDelivery
    {
        const char* name;
        size_t size;
        bool byteByByte;         // the simulator sends every byte on its own
        bool fileBytesInDataLen; // the answer's DataLen covers the file too
    };
    const SDelivery deliveries[] = {
        {"empty file", 0, false, false},
        {"byte by byte", 700, true, false},
        {"DataLen covering the file", 30000, false, true},
    };
    for (const SDelivery& sample : deliveries)
    {
        SCOPED_TRACE(sample.name);
        auto options = Recorder();
        options.byteByByte = sample.byteByByte;
        options.fileBytesInDataLen = sample.fileBytesInDataLen;
        CSessionDriver driver(options);
        const auto content = PatternBytes(sample.size, 5);
        ASSERT_TRUE(ServeAndRequest(driver, "setup.exe", content));
        ASSERT_TRUE(WaitForFileOutcome(driver, 15000));
        ExpectOnlyTheFile(driver, content);
    }
}

TEST(FileTransfer, TwoFilesInARow)
{
    CSessionDriver driver(Recorder());
    const auto first = PatternBytes(20000, 1);
    const auto second = PatternBytes(123, 2);
    driver.WriteFile("kellidsetup.exe", second);
    ASSERT_TRUE(ServeAndRequest(driver, "varnoxsetup.exe", first));
    ASSERT_TRUE(driver.WaitForEvent(DataEvent, CProtocolSession::DataFile));
    ASSERT_TRUE(driver.RequestFile("kellidsetup.exe"));
    ASSERT_TRUE(
        driver.RunUntil([&] { return driver.EventsOf(DataEvent, CProtocolSession::DataFile).size() == 2; }));
    const auto files = driver.EventsOf(DataEvent, CProtocolSession::DataFile);
    EXPECT_EQ(files[0].payload, first);
    EXPECT_EQ(files[1].payload, second);
}

// The simulator serves only its folder: escapes are as missing as absent files.
TEST(MissingFile, IsReportedAsNotOpened)
{
    for (const char* path : {"/home/depot/software/absent.exe", "/home/depot/software/../present.exe",
                             "/home/depot/software/sub/../present.exe", "/etc/passwd", "/home/depot/software",
                             "/home/depot/software/"})
    {
        SCOPED_TRACE(path);
        CSessionDriver driver(Recorder());
        driver.WriteFile("present.exe", PatternBytes(10, 1));
        ASSERT_TRUE(driver.ConnectAndWaitUntilReady());
        ASSERT_TRUE(driver.Session().RequestFile(path));
        ASSERT_TRUE(WaitForFileOutcome(driver));
        const auto refusals = driver.EventsOf(EStatus::FileCannotBeOpened);
        ASSERT_EQ(refusals.size(), 1u);
        EXPECT_EQ(RecordOf<SValueRecord>(refusals[0]).value, 0);
        EXPECT_TRUE(driver.EventsOf(DataEvent).empty());
    }
}

TEST(FileTransfer, ConnectionDroppedMidFileDeliversNothing)
{
    auto options = Recorder();
    options.dropAfterFileBytes = 1000;
    CSessionDriver driver(options);
    ASSERT_TRUE(ServeAndRequest(driver, "cut.exe", PatternBytes(100000, 9)));
    ASSERT_TRUE(WaitForFileOutcome(driver));
    driver.RunFor(50);

    const auto failures = driver.EventsOf(EStatus::ClosedByPeer);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(RecordOf<SValueRecord>(failures[0]).value, CTcpSocket::ErrorClosedByPeer);
    EXPECT_TRUE(driver.EventsOf(DataEvent).empty());
    EXPECT_FALSE(driver.Session().Connection().IsOpen());
    // Later ticks repeat the failure only with the idle status, which the dialog does not show.
    EXPECT_EQ(Failures(driver).size(), 1u);
}

TEST(MalformedFileAnswer, IsNotExecutedOnceAndRemoved)
{
    using Kind = CRecorderSimulator::MalformedFile;
    for (Kind kind : {Kind::DataLenZero, Kind::MissingEndMarker, Kind::NegativeSize, Kind::ShortSizeItem,
                      Kind::OverflowingSize, Kind::DataLenMismatch})
    {
        SCOPED_TRACE(static_cast<int>(kind));
        auto options = Recorder();
        options.malformedFile = kind;
        CSessionDriver driver(options);
        ASSERT_TRUE(ServeAndRequest(driver, "bad.exe", PatternBytes(2000, 4)));
        ASSERT_TRUE(driver.WaitForEvent(EStatus::NotExecuted));
        driver.RunFor(150);
        ExpectOneNotExecuted(driver, Commands::FileRequest, Idents::Plain, Acks::Executed);
        EXPECT_TRUE(driver.EventsOf(DataEvent).empty());
        EXPECT_EQ(driver.VisibleStatusEvents().size(), 1u);
        // The answer is settled and gone; the connection goes on.
        EXPECT_FALSE(driver.Session().HasUnsentData());
        EXPECT_EQ(driver.Session().Connection().CurrentHeader(), nullptr);
        EXPECT_TRUE(driver.Session().Connection().IsOpen());
    }
}

TEST(FileTransfer, RefusedFileAnswerCarriesItsHeader)
{
    const std::vector<uint8_t> refusal = HeaderBytes(4, 6, 0, 4, 77, 0);
    CRecorderSimulator::Options options = Recorder();
    options.replyOverride =
        [refusal](const CRecorderSimulator::ReceivedPacket& packet, std::vector<uint8_t>& reply)
    {
        reply = refusal;
        return Commands::FileRequest.Matches(packet.header);
    };
    CSessionDriver driver(options);
    ASSERT_TRUE(driver.ConnectAndWaitUntilReady());
    ASSERT_TRUE(driver.RequestFile("x"));
    ASSERT_TRUE(driver.WaitForEvent(EStatus::NotExecuted));
    EXPECT_EQ(driver.EventsOf(EStatus::NotExecuted)[0].payload, refusal);
}

// A file answer's list giving `size` as the file size, then `fileBytes` of the file.
std::vector<uint8_t> FileAnswerWithSize(int32_t size, const std::vector<uint8_t>& fileBytes)
{
    const std::vector<uint8_t> list =
        Bytes({3, 0, 1, 0, 'x', '.', 0, 4, 0, 2, 0, size & 0xFF, (size >> 8) & 0xFF, (size >> 16) & 0xFF,
               (size >> 24) & 0xFF, 0, 0, 0xFF, 0xFF});
    return Concat(Answer(Commands::FileRequest, Idents::Plain, Acks::Executed, 0, list), fileBytes);
}

const CByteBuffer& ReceiveBuffer(CSessionDriver& driver)
{
    return driver.Session().Connection().ReceiveAssembler().Buffer();
}

TEST(FileTransfer, FileIsHandedOverNotCopiedAndNothingFileSizedStaysBehind)
{
    CSessionDriver driver(Recorder());
    const auto content = PatternBytes(3 * 1024 * 1024 + 123, 3);
    driver.WriteFile("big.exe", content);
    ASSERT_TRUE(driver.ConnectAndWaitUntilReady());

    CAllocationWatch watch;
    ASSERT_TRUE(driver.RequestFile("big.exe"));
    ASSERT_TRUE(WaitForFileOutcome(driver, 15000));
    ExpectOnlyTheFile(driver, content);

    const int64_t answerLength = AnswerListLength("big.exe") + static_cast<int64_t>(content.size());
    EXPECT_LT(watch.PeakGrowth(), answerLength + answerLength / 4) << "one file-sized block, not two";
    EXPECT_LT(watch.Requests(), 40) << "the receive buffer doubles instead of growing by every read";
    // The event has been taken from the queue, as the dialog takes it after saving the file.
    EXPECT_LE(driver.Queue().HeldBytes(), CEventQueue::RetainedCapacity);
    EXPECT_LE(ReceiveBuffer(driver).Capacity(), CReceiveAssembler::RetainedCapacity);
}

// Claimed before anything was asked for (before the login, even), a huge file costs only the bytes
// that actually come, and they are never passed on.
TEST(FileTransfer, ClaimedSizeBeforeAnyRequestCostsWhatArrivesAndIsNotPassedOn)
{
    constexpr int32_t kClaimed = 0x7FFFFFE0;
    auto options = Recorder();
    options.replyOverride = [](const CRecorderSimulator::ReceivedPacket& packet, std::vector<uint8_t>& reply)
    {
        if (!Commands::DeviceInformation.Matches(packet.header))
            return false;
        reply = FileAnswerWithSize(kClaimed, PatternBytes(300000, 6));
        return true;
    };
    CSessionDriver driver(options);
    CAllocationWatch watch;
    ASSERT_TRUE(driver.Connect());
    ASSERT_TRUE(driver.RunUntil(
        [&]
        {
            const CCommandPacket* header = driver.Session().Connection().CurrentHeader();
            return header != nullptr && header->DataLen() > kClaimed &&
                   driver.Session().Connection().ReceiveAssembler().BufferedBytes() == 19 + 300000;
        }));
    EXPECT_EQ(driver.Received().size(), 1u) << "the version request still waits; no login went out";
    // The receive buffer's block included.
    EXPECT_LE(static_cast<int64_t>(watch.LargestRequest()),
              2 * (19 + 300000) + CSocketConnection::DefaultReceiveChunk);

    driver.Simulator().Stop();
    ASSERT_TRUE(driver.WaitForEvent(EStatus::ClosedByPeer));
    EXPECT_EQ(driver.VisibleStatusEvents().size(), 1u);
    EXPECT_TRUE(driver.EventsOf(DataEvent).empty());
    EXPECT_TRUE(driver.EventsOf(ProgressEvent).empty());
    EXPECT_EQ(ReceiveBuffer(driver).Capacity(), 0);
}

// Found by fuzzing the session: the answer to the outstanding request claims 704 MiB and the
// recorder hangs up after 300 file bytes. The claim shows only as the progress total.
TEST(FileTransfer, RequestedFileClaimingFarMoreThanItSendsCostsWhatArrives)
{
    constexpr int32_t kClaimed = 0x2C000001;
    constexpr int32_t kListLength = 19;
    auto options = Recorder();
    options.replyOverride = [](const CRecorderSimulator::ReceivedPacket& packet, std::vector<uint8_t>& reply)
    {
        if (!Commands::FileRequest.Matches(packet.header))
            return false;
        reply = FileAnswerWithSize(kClaimed, PatternBytes(300, 7));
        return true;
    };
    CSessionDriver driver(options);
    ASSERT_TRUE(driver.ConnectAndWaitUntilReady());
    CAllocationWatch watch;
    ASSERT_TRUE(driver.RequestFile("x.exe"));
    ASSERT_TRUE(driver.RunUntil(
        [&]
        { return driver.Session().Connection().ReceiveAssembler().BufferedBytes() == kListLength + 300; }));
    EXPECT_LE(static_cast<int64_t>(watch.LargestRequest()), CSocketConnection::DefaultReceiveChunk);

    driver.Simulator().Stop();
    ASSERT_TRUE(driver.WaitForEvent(EStatus::ClosedByPeer));
    const auto progress = driver.EventsOf(ProgressEvent, CProtocolSession::ProgressReceiving);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(RecordOf<SProgressRecord>(progress.back()).total, kListLength + kClaimed);
    EXPECT_LE(RecordOf<SProgressRecord>(progress.back()).done, kListLength + 300);
    EXPECT_TRUE(driver.EventsOf(DataEvent).empty());
    EXPECT_EQ(ReceiveBuffer(driver).Capacity(), 0);
}

TEST(FileTransfer, UnrequestedFileAnswerIsReceivedInFullButNotPassedOn)
{
    auto options = Recorder();
    // Its 5000 file bytes follow outside DataLen: read past them, the stream stays in step.
    options.extraAfterLogin = FileAnswerWithSize(5000, PatternBytes(5000, 12));
    CSessionDriver driver(options);
    const auto content = PatternBytes(7000, 13);
    driver.WriteFile("setup.exe", content);
    CScopedDiagnosticCapture diagnostics;
    ASSERT_TRUE(driver.ConnectAndWaitUntilReady());
    driver.RunFor(50);
    EXPECT_TRUE(driver.EventsOf(DataEvent).empty());
    EXPECT_TRUE(driver.EventsOf(ProgressEvent).empty());
    EXPECT_TRUE(Failures(driver).empty());
    EXPECT_NE(diagnostics.Text().find("Unrequested file answer of 5000 bytes discarded"), std::string::npos)
        << diagnostics.Text();

    ASSERT_TRUE(driver.RequestFile("setup.exe"));
    ASSERT_TRUE(WaitForFileOutcome(driver));
    ExpectOnlyTheFile(driver, content);
}

TEST(FileTransfer, ReceiveBufferThatCannotGrowIsReportedOnceAsNoMemory)
{
    CSessionDriver driver(Recorder());
    driver.WriteFile("big.exe", PatternBytes(1024 * 1024, 14));
    ASSERT_TRUE(driver.ConnectAndWaitUntilReady());
    CAllocationWatch watch;
    watch.FailAbove(256 * 1024);
    ASSERT_TRUE(driver.RequestFile("big.exe"));
    ASSERT_TRUE(driver.WaitForEvent(EStatus::NoMemory));
    driver.RunFor(50);
    EXPECT_EQ(driver.EventsOf(EStatus::NoMemory).size(), 1u);
    EXPECT_TRUE(driver.EventsOf(DataEvent).empty());
    EXPECT_FALSE(driver.Session().Connection().IsOpen());
}

TEST(FileTransfer, FileThatCannotBePostedIsReportedAsNoMemoryAndNotDelivered)
{
    CSessionDriver driver(Recorder());
    const auto content = PatternBytes(5000, 15);
    ASSERT_TRUE(ServeAndRequest(driver, "small.exe", content));
    // The whole answer is read, but not yet handled.
    const int32_t answerBytes = 18 + AnswerListLength("small.exe") + static_cast<int32_t>(content.size());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (driver.Session().Connection().ReceiveAssembler().BufferedBytes() < answerBytes &&
           std::chrono::steady_clock::now() < deadline)
        driver.Poller().Poll(false, true);
    ASSERT_EQ(driver.Session().Connection().ReceiveAssembler().BufferedBytes(), answerBytes);

    // A queue without room, and the first block asked for refused: the data event's.
    CEventQueue& queue = driver.Queue();
    const int32_t room = queue.Capacity() - queue.UsedLength() - CEventQueue::EventHeaderSize;
    const std::vector<uint8_t> filler(static_cast<size_t>(std::max(room, 0)), 0);
    ASSERT_TRUE(queue.Post(LoginResultEvent, 99, static_cast<int32_t>(filler.size()), filler.data()));
    ASSERT_EQ(queue.UsedLength(), queue.Capacity());
    {
        CAllocationWatch watch;
        watch.FailRequestNumber(1);
        driver.Session().Step();
        EXPECT_EQ(watch.Failures(), 1);
    }
    driver.Tick();

    EXPECT_TRUE(driver.EventsOf(DataEvent).empty());
    const auto reports = driver.EventsOf(EStatus::NoMemory);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(RecordOf<SValueRecord>(reports[0]).value, 0);
    // The answer is settled and gone all the same.
    EXPECT_FALSE(driver.Session().HasUnsentData());
    EXPECT_EQ(driver.Session().Connection().CurrentHeader(), nullptr);
}

TEST(FileTransfer, CorruptAnswerHeaderIsDroppedWithoutDelivery)
{
    auto options = Recorder();
    options.corruptChecksumCommand = Commands::FileRequest;
    CSessionDriver driver(options);
    ASSERT_TRUE(ServeAndRequest(driver, "x.exe", PatternBytes(3000, 8)));
    driver.RunFor(300);
    EXPECT_TRUE(driver.Events().empty());
    EXPECT_TRUE(driver.Session().HasUnsentData()) << "the request still waits for a valid answer";
}

} // namespace
