#include "SessionHarness.h"

#include "WireBytes.h"
#include "os/Clock.h"
#include "os/Sockets.h"
#include "protocol/EventRecords.h"
#include "support/Diagnostics.h"
#include "support/TextCodec.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{

const char* const kVersions[] = {"1.1.0", "2.0.30", "2.0.80", "VUZ7"};
const size_t kPieceSizes[] = {SIZE_MAX, 1, 7, 64};
constexpr int64_t kSilenceMicroseconds = 61 * 1000000LL;
// Every wait is counted in ticks; a loopback round trip takes one or two.
constexpr int kStartTicks = 200;
constexpr int kIdleTicks = 50;
constexpr int kDrainTicks = 200;
// Each piece costs a tick of a few system calls; beyond this many the pieces grow.
constexpr size_t kMaxPieces = 64;

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "session harness: %s\n", what);
    std::abort();
}

void Require(bool condition, const char* what)
{
    if (!condition)
        Fail(what);
}

} // namespace

CSessionHarness::CSessionHarness()
{
    // The lines are still formatted, with the fuzzed values, but nobody reads thousands a second.
    SetDiagnosticSink([](const std::string&) {});
    m_poller.Register(&m_session.Connection());
    // No cycle waits, not even the idle pace when no socket is open.
    m_poller.SetInterval(0);
    m_session.SetPort(m_recorder.Port());
    m_session.SetDisconnectPause({});
}

void CSessionHarness::Run(uint8_t variant, const std::vector<uint8_t>& answers)
{
    const char* secondCredential = (variant & SecondCredential) != 0 ? "Zweitschlüssel" : "";
    Require(m_session.Connect("127.0.0.1", "geheim", secondCredential, &m_events), "no connect");
    Require(m_recorder.Accept(), "the recorder accepted no connection");
    Require(ScriptedStart(variant), "the scripted start did not complete");

    const bool silence = (variant & KeepAliveFirst) != 0;
    if (silence)
    {
        os::AdvanceClocksForTesting(kSilenceMicroseconds);
        Require(AwaitCommand(Commands::SessionTimeout), "no keep-alive after a minute of silence");
    }
    if ((variant & FileRequested) != 0)
    {
        Require(m_session.RequestFile("/home/depot/software/varnoxsetup.exe"), "no file request");
        // Behind an unanswered keep-alive the request waits its turn.
        if (!silence)
            Require(AwaitCommand(Commands::FileRequest), "the file request was not sent");
    }

    Feed(answers, kPieceSizes[(variant >> PieceSizeShift) & 3], (variant & HangUp) != 0);

    m_session.Disconnect();
    m_recorder.Abort();
    ReadEvents();
    if (silence)
        os::AdvanceClocksForTesting(-kSilenceMicroseconds);
}

void CSessionHarness::Tick()
{
    m_poller.Poll(false, false);
    m_session.Step();
    ReadEvents();
}

bool CSessionHarness::ScriptedStart(uint8_t variant)
{
    for (int tick = 0; tick < kStartTicks && !m_session.IsDeviceInfoComplete(); ++tick)
    {
        Tick();
        for (const CCommandPacket& request : m_recorder.ReceivePackets())
            AnswerStartPacket(request, variant);
    }
    return m_session.IsDeviceInfoComplete();
}

void CSessionHarness::AnswerStartPacket(const CCommandPacket& request, uint8_t variant)
{
    const std::vector<uint8_t> firstText = TextValue(CTextCodec::Utf8ToCp850("Recorder Süd"));
    const std::vector<uint8_t> switchOn = {1, 0};
    const std::vector<uint8_t> thirdText = TextValue(CTextCodec::Utf8ToCp850("Gerät 1"));
    std::vector<uint8_t> answer;
    if (Commands::DeviceInformation.Matches(request) && request.Ident() == Idents::VersionRequest)
    {
        answer = PacketBytes(Commands::DeviceInformation, request.Ident(), Acks::Executed, request.LParam(),
                             ItemListBytes({{Tags::DeviceFirstText, firstText},
                                            {Tags::DeviceSwitch, switchOn},
                                            {Tags::DeviceThirdText, thirdText},
                                            {Tags::DeviceVersion, TextValue(kVersions[variant & 3])}}));
    }
    else if (Commands::Login.Matches(request))
    {
        answer =
            PacketBytes(Commands::Login, request.Ident(), Acks::Executed, Parameters::AdministratorLevel);
    }
    else if (Commands::DeviceInformation.Matches(request))
    {
        const uint16_t item = static_cast<uint16_t>(request.LParam());
        const std::vector<uint8_t>& value = item == Tags::DeviceFirstText ? firstText
                                            : item == Tags::DeviceSwitch  ? switchOn
                                                                          : thirdText;
        answer = PacketBytes(Commands::DeviceInformation, request.Ident(), Acks::Executed, request.LParam(),
                             ItemListBytes({{item, value}}));
    }
    else if (Commands::SessionTimeout.Matches(request))
    {
        answer = PacketBytes(Commands::SessionTimeout, request.Ident(), Acks::Executed, request.LParam());
    }
    Require(m_recorder.SendSome(answer.data(), answer.size()) == answer.size(), "a start answer was cut");
}

bool CSessionHarness::AwaitCommand(const SCommand& command)
{
    for (int tick = 0; tick < kStartTicks; ++tick)
    {
        Tick();
        for (const CCommandPacket& request : m_recorder.ReceivePackets())
        {
            if (command.Matches(request))
                return true;
        }
    }
    return false;
}

void CSessionHarness::Feed(const std::vector<uint8_t>& answers, size_t pieceSize, bool hangUp)
{
    pieceSize = std::max(pieceSize, (answers.size() + kMaxPieces - 1) / kMaxPieces);
    size_t sent = 0;
    int idleTicks = 0;
    while (sent < answers.size() && m_session.Connection().IsOpen() && idleTicks < kIdleTicks)
    {
        const size_t piece = std::min(pieceSize, answers.size() - sent);
        const size_t accepted = m_recorder.SendSome(answers.data() + sent, piece);
        sent += accepted;
        idleTicks = accepted == 0 ? idleTicks + 1 : 0;
        Tick();
        m_recorder.ReceivePackets();
    }
    if (hangUp)
        m_recorder.HangUp();
    for (int tick = 0; tick < kDrainTicks && SessionHasUnreadBytes(); ++tick)
        Tick();
}

bool CSessionHarness::SessionHasUnreadBytes()
{
    os::SocketHandle handle = m_session.Connection().Handle();
    if (handle == os::InvalidSocket)
        return false;
    os::SocketList readable{&handle, 1};
    os::SocketList none{nullptr, 0};
    os::SocketList failed{nullptr, 0};
    return os::WaitForSockets(readable, none, failed, 0, 0) > 0;
}

void CSessionHarness::ReadEvents()
{
    // What the dialog reads of each event must be there.
    while (m_events.HasEvents())
    {
        const uint8_t* event = m_events.Front();
        Require(event != nullptr, "the queue holds bytes but no event");
        const SEventRecord record = CEventQueue::Read(event);
        const int32_t type = record.type;
        const int32_t code = record.code;
        const int32_t length = record.length;
        const uint8_t* payload = record.payload;
        if (type == DataEvent && code == CProtocolSession::DataRecorderTime)
        {
            STimeRecord time;
            Require(STimeRecord::Decode(payload, length, time), "a time event without its time");
        }
        else if (type == DataEvent && code == CProtocolSession::DataTimeAcknowledged)
        {
            SValueRecord value;
            Require(SValueRecord::Decode(payload, length, value), "a time acknowledgement without its value");
        }
        else if (type == ProgressEvent)
        {
            SProgressRecord progress;
            Require(SProgressRecord::Decode(payload, length, progress), "a progress event without numbers");
            Require(progress.done >= 0 && progress.done <= progress.total, "progress outside its total");
        }
        m_events.Pop();
    }
}
