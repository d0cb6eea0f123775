#pragma once

#include "wire/CommandPacket.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The recorder's end of the session fuzzers' connections: one listener on 127.0.0.1 for the whole
// run and one accepted connection per input. It never blocks for long and runs on the fuzzer's
// thread, which drives both ends in turn.
class CLoopbackRecorder
{
public:
    // Aborts the process when no loopback listener can be had: no input could be run.
    CLoopbackRecorder();
    CLoopbackRecorder(const CLoopbackRecorder&) = delete;
    CLoopbackRecorder& operator=(const CLoopbackRecorder&) = delete;
    ~CLoopbackRecorder();

    int Port() const { return m_port; }

    // Takes the session's pending connection, waiting at most a second for it.
    bool Accept();
    // Sends what the socket takes without waiting; returns the byte count.
    size_t SendSome(const uint8_t* bytes, size_t length);
    // Reads what the session has sent and returns the headers of the packets now complete.
    std::vector<CCommandPacket> ReceivePackets();
    // Stops sending, as a recorder that hangs up: the session reads what was sent, then the close.
    void HangUp();
    // Ends the connection with a reset, so that no connection lingers in TIME_WAIT after an input.
    void Abort();

private:
    int m_listener = -1;
    int m_port = 0;
    int m_connection = -1;
    std::vector<uint8_t> m_received;
};
