#pragma once

#include "net/ReceiveAssembler.h"
#include "net/SendQueue.h"
#include "net/TcpSocket.h"
#include "support/Status.h"
#include "wire/CommandPacket.h"

#include <cstdint>

// The text for a socket error code in the display language, or null when the code has none.
const char* ConnectionErrorText(int code);

// The one connection to the recorder: a socket joined to a stop-and-wait send queue, a receive
// assembler and a transport status code. The poller drives its event operations; the session queues
// packets, takes complete ones out and reads Status() and LastError() to learn of failures — the
// connection never reports anything upward by itself.
class CSocketConnection : public CTcpSocket
{
public:
    // Bytes asked of one read until the socket's receive buffer proves smaller.
    static constexpr int32_t DefaultReceiveChunk = 16384;
    // Reads per readable event, so one busy socket cannot hold the thread indefinitely.
    static constexpr int MaxReadsPerEvent = 20;

    CSocketConnection();
    ~CSocketConnection() override;

    bool WantsWrite() override;
    void OnReceive(int unused) override;
    void OnSend(int unused) override;
    void OnConnect(int unused) override;
    void OnClose(int code) override;
    void OnError(int code) override;
    bool WantsRead() override;

    // Queues a packet; it is sent on a later writable event. False (status NoMemory) when
    // the queue cannot grow.
    bool QueuePacket(const CCommandPacket& header, const void* payload, int32_t payloadLength);

    // Whether a complete packet has arrived; takes its header out of the received bytes.
    bool HasCompletePacket();
    const CCommandPacket* CurrentHeader() const;
    // The current packet's data, valid until FinishReceivedPacket; null when no header is held.
    const uint8_t* CurrentPayload() const;
    int32_t CurrentPayloadLength() const;
    // The current packet expects `count` more data bytes; false when that cannot be.
    bool ExtendCurrentPacket(int32_t count);
    // Hands the complete current packet's data block over (its first DataLen bytes are the data);
    // the packet stays current until FinishReceivedPacket. False when that cannot be.
    bool TakeCurrentPayload(CByteBuffer& block);
    // Settles the processed packet against the command awaiting its answer and removes it.
    void FinishReceivedPacket();
    // Sends the command awaiting its answer again from its first byte.
    void ResendCurrent();
    // Closes the socket and forgets everything queued or received.
    void Disconnect();

    // One of the transport's codes (EStatusSource::Transport); Idle while no failure is recorded.
    EStatus Status() const { return m_status; }
    void ResetStatus();

    // Send and receive times come from a monotonic clock rather than the calendar, so that a
    // change of the wall clock can neither fake nor hide an idle connection.
    void MarkTime(bool received);
    int32_t SecondsSinceLastSend() const;
    int64_t LastReceiveTime() const { return m_lastReceiveTime; }
    int64_t LastSendTime() const { return m_lastSendTime; }

    int32_t ReceiveChunk() const { return m_receiveChunk; }

    CSendQueue& SendQueue() { return m_sendQueue; }
    CReceiveAssembler& ReceiveAssembler() { return m_receiveAssembler; }

private:
    CReceiveAssembler m_receiveAssembler;
    CSendQueue m_sendQueue;
    int64_t m_lastReceiveTime = 0;
    int64_t m_lastSendTime = 0;
    int32_t m_receiveChunk = DefaultReceiveChunk;
    EStatus m_status = EStatus::Idle;
};
