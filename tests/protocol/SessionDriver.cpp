#include "SessionDriver.h"

#include "os/Clock.h"

#include <gtest/gtest.h>

namespace
{

// Takes every event out of the queue, in order, as the dialog would, noting the tick and when it
// began.
void DrainEvents(CEventQueue& queue, int tick, std::chrono::steady_clock::time_point tickBegan,
                 std::vector<RecordedEvent>& events)
{
    for (const uint8_t* front = queue.Front(); front != nullptr; front = queue.Front())
    {
        const SEventRecord record = CEventQueue::Read(front);
        RecordedEvent event;
        event.type = record.type;
        event.code = record.code;
        if (record.payload != nullptr && record.length > 0)
            event.payload.assign(record.payload, record.payload + record.length);
        event.tick = tick;
        event.tickBegan = tickBegan;
        event.at = std::chrono::steady_clock::now();
        events.push_back(std::move(event));
        queue.Pop();
    }
}

} // namespace

CSessionDriver::CSessionDriver(int port)
{
    m_poller.Register(&m_session.Connection());
    m_poller.SetInterval(10);
    m_session.SetPort(port);
    m_session.SetDisconnectPause([](int) {});
}

CSessionDriver::CSessionDriver(CRecorderSimulator::Options options) : CSessionDriver(0)
{
    options.root = m_root.Path();
    options.port = 0;
    m_simulator = std::make_unique<CRecorderSimulator>(std::move(options));
    std::string error;
    if (!m_simulator->Start(error))
        ADD_FAILURE() << "simulator: " << error;
    m_session.SetPort(m_simulator->Port());
}

CSessionDriver::~CSessionDriver()
{
    m_session.Disconnect();
    if (m_simulator)
        m_simulator->Stop();
}

bool CSessionDriver::Connect(const char* password, const char* secondCredential)
{
    return m_session.Connect("127.0.0.1", password, secondCredential, &m_queue);
}

void CSessionDriver::Tick()
{
    ++m_tick;
    const auto began = std::chrono::steady_clock::now();
    m_poller.Poll(false, true);
    m_session.Step();
    DrainEvents(m_queue, m_tick, began, m_events);
}

bool CSessionDriver::RunUntil(const std::function<bool()>& done, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done())
    {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        Tick();
    }
    return true;
}

void CSessionDriver::RunFor(int milliseconds)
{
    RunUntil([] { return false; }, milliseconds);
}

bool CSessionDriver::WaitForEvent(int32_t type, int32_t code, int timeoutMs)
{
    return RunUntil([&] { return !EventsOf(type, code).empty(); }, timeoutMs);
}

bool CSessionDriver::ConnectAndWaitUntilReady(const char* password)
{
    return Connect(password) && WaitForEvent(EStatus::Connected);
}

std::vector<RecordedEvent> CSessionDriver::EventsOf(int32_t type, int32_t code) const
{
    std::vector<RecordedEvent> matching;
    for (const auto& event : m_events)
    {
        if (event.type == type && (code < 0 || event.code == code))
            matching.push_back(event);
    }
    return matching;
}

std::vector<RecordedEvent> CSessionDriver::VisibleStatusEvents() const
{
    std::vector<RecordedEvent> visible;
    for (const auto& event : EventsOf(StatusEvent))
    {
        if (event.code != StatusCode(EStatus::Idle))
            visible.push_back(event);
    }
    return visible;
}

size_t CSessionDriver::CountReceived(const SCommand& command) const
{
    size_t count = 0;
    for (const auto& packet : Received())
    {
        if (command.Matches(packet.header))
            ++count;
    }
    return count;
}

void CSessionDriver::WriteFile(const std::string& name, const std::vector<uint8_t>& content) const
{
    m_root.WriteFile(name, content);
}

bool CSessionDriver::RequestFile(const std::string& name)
{
    return m_session.RequestFile((SoftwareDirectory + name).c_str());
}

CRecorderSimulator::Options Recorder(const std::string& version, const std::string& password)
{
    CRecorderSimulator::Options options;
    options.version = version;
    options.password = password;
    return options;
}

std::vector<uint8_t> Bytes(std::initializer_list<int> values)
{
    std::vector<uint8_t> bytes;
    for (int value : values)
        bytes.push_back(static_cast<uint8_t>(value));
    return bytes;
}

std::vector<uint8_t> Concat(const std::vector<uint8_t>& first, const std::vector<uint8_t>& second)
{
    std::vector<uint8_t> joined = first;
    joined.insert(joined.end(), second.begin(), second.end());
    return joined;
}

std::vector<uint8_t> HeaderBytes(uint16_t target, uint16_t com, uint16_t ident, uint16_t ack, int32_t lParam,
                                 int32_t dataLen)
{
    std::vector<uint8_t> bytes;
    for (uint16_t field : {target, com, ident, ack})
    {
        bytes.push_back(static_cast<uint8_t>(field));
        bytes.push_back(static_cast<uint8_t>(field >> 8));
    }
    for (int32_t field : {lParam, dataLen})
    {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(field) >> shift));
    }
    unsigned sum = 0;
    for (uint8_t byte : bytes)
        sum += byte;
    bytes.push_back(static_cast<uint8_t>(sum));
    bytes.push_back(static_cast<uint8_t>(sum >> 8));
    return bytes;
}

std::vector<uint8_t> Answer(uint16_t target, uint16_t com, uint16_t ident, uint16_t ack, int32_t lParam,
                            const std::vector<uint8_t>& data)
{
    return Concat(HeaderBytes(target, com, ident, ack, lParam, static_cast<int32_t>(data.size())), data);
}

std::vector<uint8_t> Answer(const SCommand& command, uint16_t ident, uint16_t ack, int32_t lParam,
                            const std::vector<uint8_t>& data)
{
    return Answer(command.target, command.com, ident, ack, lParam, data);
}

std::vector<uint8_t> PacketBytes(const CRecorderSimulator::ReceivedPacket& packet)
{
    return Concat({packet.headerBytes.begin(), packet.headerBytes.end()}, packet.payload);
}

void ExpectOneNotExecuted(const CSessionDriver& driver, const SCommand& command, uint16_t ident, uint16_t ack)
{
    const auto refusals = driver.EventsOf(EStatus::NotExecuted);
    ASSERT_EQ(refusals.size(), 1u);
    ASSERT_EQ(refusals[0].payload.size(), static_cast<size_t>(CCommandPacket::HeaderSize()));
    CCommandPacket header;
    EXPECT_TRUE(header.ReadFrom(refusals[0].payload.data()));
    EXPECT_TRUE(command.Matches(header));
    EXPECT_EQ(header.Ident(), ident);
    EXPECT_EQ(header.Ack(), ack);
}

CClockShift::~CClockShift()
{
    os::AdvanceClocksForTesting(-m_totalMicroseconds);
}

void CClockShift::AdvanceSeconds(int64_t seconds)
{
    os::AdvanceClocksForTesting(seconds * 1000000);
    m_totalMicroseconds += seconds * 1000000;
}
