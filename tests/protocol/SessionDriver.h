#pragma once

#include "RecorderSimulator.h"
#include "ScratchDirectory.h"
#include "net/SocketPoller.h"
#include "protocol/EventQueue.h"
#include "protocol/EventRecords.h"
#include "protocol/ProtocolSession.h"
#include "support/Status.h"
#include "wire/Commands.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// One event as the dialog would have taken it from the queue, with the tick that produced it.
struct RecordedEvent
{
    int32_t type = 0;
    int32_t code = 0;
    std::vector<uint8_t> payload;
    int tick = 0;
    // When the tick that posted it began, and when it was taken out of the queue: the session read
    // its clock in between, however long the machine kept the test from running.
    std::chrono::steady_clock::time_point tickBegan;
    std::chrono::steady_clock::time_point at;
};

// Runs a session against an in-process recorder simulator exactly as the dialog does: per tick one
// Poll(false, true) with the 10 ms interval, one Step, then the event queue drained. Every wait is
// bounded; Disconnect does not sleep; the simulator serves a fresh temporary folder that is removed
// afterwards.
class CSessionDriver
{
public:
    static constexpr const char* SoftwareDirectory = "/home/depot/software/";
    static constexpr const char* Password = "geheim";

    explicit CSessionDriver(CRecorderSimulator::Options options = {});
    // A session for a peer that is no recorder (or none at all) on this port.
    explicit CSessionDriver(int port);
    ~CSessionDriver();

    bool Connect(const char* password = Password, const char* secondCredential = "");
    void Tick();
    // Ticks until `done` holds or `timeoutMs` passed; returns `done()`.
    bool RunUntil(const std::function<bool()>& done, int timeoutMs = 5000);
    void RunFor(int milliseconds);
    // Ticks until an event of this type (and code, unless negative) was recorded.
    bool WaitForEvent(int32_t type, int32_t code, int timeoutMs = 5000);
    bool WaitForEvent(EStatus status, int timeoutMs = 5000)
    {
        return WaitForEvent(StatusEvent, StatusCode(status), timeoutMs);
    }
    // Connects and ticks until the device information is complete (StatusEvent 36).
    bool ConnectAndWaitUntilReady(const char* password = Password);

    const std::vector<RecordedEvent>& Events() const { return m_events; }
    std::vector<RecordedEvent> EventsOf(int32_t type, int32_t code = -1) const;
    std::vector<RecordedEvent> EventsOf(EStatus status) const
    {
        return EventsOf(StatusEvent, StatusCode(status));
    }
    // Status events whose code the dialog shows (the idle status 64 shows nothing).
    std::vector<RecordedEvent> VisibleStatusEvents() const;
    void ClearEvents() { m_events.clear(); }

    // Packets the simulator received so far, in order.
    std::vector<CRecorderSimulator::ReceivedPacket> Received() const
    {
        return m_simulator->ReceivedPackets();
    }
    size_t CountReceived(const SCommand& command) const;

    void WriteFile(const std::string& name, const std::vector<uint8_t>& content) const;
    // Requests the file `name` of the simulator's folder.
    bool RequestFile(const std::string& name);

    CProtocolSession& Session() { return m_session; }
    // For tests that run the poll and the step of a tick apart, or look into the queue.
    CSocketPoller& Poller() { return m_poller; }
    CEventQueue& Queue() { return m_queue; }
    CRecorderSimulator& Simulator() { return *m_simulator; }

private:
    CScratchDirectory m_root;
    std::unique_ptr<CRecorderSimulator> m_simulator;
    CSocketPoller m_poller;
    CEventQueue m_queue;
    CProtocolSession m_session;
    std::vector<RecordedEvent> m_events;
    int m_tick = 0;
};

// A recorder of this version that accepts the driver's password, unless told another.
CRecorderSimulator::Options Recorder(const std::string& version = "2.1.0",
                                     const std::string& password = CSessionDriver::Password);

// Little helpers for byte-exact expectations.
std::vector<uint8_t> Bytes(std::initializer_list<int> values);
std::vector<uint8_t> Concat(const std::vector<uint8_t>& first, const std::vector<uint8_t>& second);
std::vector<uint8_t> HeaderBytes(uint16_t target, uint16_t com, uint16_t ident, uint16_t ack, int32_t lParam,
                                 int32_t dataLen);
// A whole answer as the recorder sends it: header with checksum, then `data`.
std::vector<uint8_t> Answer(uint16_t target, uint16_t com, uint16_t ident, uint16_t ack, int32_t lParam,
                            const std::vector<uint8_t>& data);
std::vector<uint8_t> Answer(const SCommand& command, uint16_t ident, uint16_t ack, int32_t lParam,
                            const std::vector<uint8_t>& data);
// A received packet as it came over the wire: header, then data.
std::vector<uint8_t> PacketBytes(const CRecorderSimulator::ReceivedPacket& packet);

// An event's payload read as its record; a payload of another size fails the test.
template <typename Record> Record RecordOf(const RecordedEvent& event)
{
    Record record;
    EXPECT_EQ(event.payload.size(), static_cast<size_t>(Record::Size));
    EXPECT_TRUE(Record::Decode(event.payload.data(), static_cast<int32_t>(event.payload.size()), record));
    return record;
}

// Expects exactly one NotExecuted status, whose payload is the refused answer's header with this
// command, Ident and Ack.
void ExpectOneNotExecuted(const CSessionDriver& driver, const SCommand& command, uint16_t ident,
                          uint16_t ack);

// Shifts the session's clocks for one test and undoes the shift afterwards.
class CClockShift
{
public:
    CClockShift() = default;
    CClockShift(const CClockShift&) = delete;
    CClockShift& operator=(const CClockShift&) = delete;
    ~CClockShift();
    void AdvanceSeconds(int64_t seconds);

private:
    int64_t m_totalMicroseconds = 0;
};
