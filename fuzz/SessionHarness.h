#pragma once

#include "LoopbackRecorder.h"
#include "net/SocketPoller.h"
#include "protocol/EventQueue.h"
#include "protocol/ProtocolSession.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// One conversation per fuzz input, held the way the dialog holds it: every tick one poll cycle
// through the real poller, one Step, and the event queue drained and read. The recorder's end is
// a loopback connection that first answers the start by script (version, login, device
// information) and then sends the fuzzed answers. Nothing sleeps: the poller does not wait and
// Disconnect's pause is empty.
class CSessionHarness
{
public:
    // The input's first byte chooses how the conversation starts and how the answers arrive:
    //   bits 0-1  the recorder's version (code 0, 2, 6 or 10: plain or item-list login, with or
    //             without the session time-out)
    //   bit 2     a second login text
    //   bit 3     a minute of silence first, so the keep-alive is awaiting its answer
    //   bit 4     a file request is awaiting its answer
    //   bits 5-6  the answers arrive whole or in pieces of 1, 7 or 64 bytes (larger ones when that
    //             would make more than 64 pieces)
    //   bit 7     the recorder hangs up behind its answers
    static constexpr uint8_t SecondCredential = 0x04;
    static constexpr uint8_t KeepAliveFirst = 0x08;
    static constexpr uint8_t FileRequested = 0x10;
    static constexpr int PieceSizeShift = 5;
    static constexpr uint8_t HangUp = 0x80;

    CSessionHarness();

    void Run(uint8_t variant, const std::vector<uint8_t>& answers);

private:
    void Tick();
    // Answers the session's start as a recorder of the chosen version; false when it did not reach
    // the end of the device information.
    bool ScriptedStart(uint8_t variant);
    void AnswerStartPacket(const CCommandPacket& request, uint8_t variant);
    // Ticks until the recorder has received a packet of this command.
    bool AwaitCommand(const SCommand& command);
    void Feed(const std::vector<uint8_t>& answers, size_t pieceSize, bool hangUp);
    // Bytes have arrived that the session has not read yet.
    bool SessionHasUnreadBytes();
    void ReadEvents();

    CSocketPoller m_poller;
    CProtocolSession m_session;
    CEventQueue m_events;
    CLoopbackRecorder m_recorder;
};
